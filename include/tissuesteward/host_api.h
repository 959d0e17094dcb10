// SPDX-License-Identifier: MIT
// Signatures of the host's plug-in API, shared by the plug-in's host table
// and by any host (or stand-in host) that implements the API.
//
// The host exports these as C functions from its own executable; the plug-in
// never links against them but binds them by name (see host_table.h). Strings
// are NUL-terminated. Output buffers are the caller's; their capacity is not
// passed, so a host must never write more than the sizes stated here.
#ifndef TISSUESTEWARD_HOST_API_H
#define TISSUESTEWARD_HOST_API_H

namespace hvapi {

// --- what the plug-in calls, with the effect it relies on --------------------

// Writes the running host's version.
using GetVersion = void(int *major, int *minor, int *patch);
// Brings the host's log into view.
using ShowLogTab = void();
// Appends one line to the host's log.
using LogText = void(const char *text);
// Shows the text to the user in a modal message.
using MessageBox = void(const char *text);
// Shows a file dialog. `filter` reads "description (pattern)"; `unused` is
// always "". Returns 1 when the user chose a file, whose full name is then in
// `chosen` (room for PATH_MAX characters, NUL included); anything else: none.
using FileDialog = int(const char *prompt, const char *unused, const char *filter, char *chosen);
// Copies the named script parameter's text into `value`. The plug-in reads
// only "Command" and "FileType", into 100-character buffers (NUL included).
using GetStringParameter = void(const char *name, char *value);
// Sets the named script parameter; the host keeps its own copy of a text.
using SetStringParameter = void(const char *name, const char *value);
using SetIntParameter = void(const char *name, int value);

// --- the rest of the script parameters ----------------------------------------
using GetIntParameter = int(const char *name);
using GetFloatParameter = float(const char *name);
using SetFloatParameter = void(const char *name, float value);

// --- shapes shared by the entries the plug-in does not call ------------------
using Action = void();                      // no argument, no result
using Query = bool();                       // true: done
using Handle = void *();                    // a host-owned record
using PathAction = bool(const char *path);  // load or save a file
using PathOut = void(char *path);           // a directory, PATH_MAX room
using RecordOut = bool(void *record);       // copy a host record out
using RecordIn = bool(const void *record);  // replace a host record
using IndexedRecordOut = bool(int index, void *record);
using IndexedRecordIn = bool(int index, const void *record);
using IndexAction = bool(int index);
using NameAction = bool(const char *name);
using NameToIndex = int(const char *name);
using FloatData = bool(float *data);
using IntData = bool(int *data);
using PlotSeries = bool(const float *x, const float *y, int count, const char *name);
using PlotBars = bool(const float *values, int count, const char *name);
using PlotRange = void(float from, float to);
using PlotPair = void(int first, int second);
using PlotStyle = void(int series, float size, int red, int green, int blue);

}  // namespace hvapi

#endif
