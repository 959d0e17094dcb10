// SPDX-License-Identifier: MIT
// Every text the plug-in frame hands to the host, byte for byte, shared by
// the frame and its tests.
#ifndef TISSUESTEWARD_FRAME_TEXTS_H
#define TISSUESTEWARD_FRAME_TEXTS_H

#include <cstddef>

namespace ts::frame {

// --- descriptive strings -------------------------------------------------------
inline constexpr char kPluginName[] = "tissuesteward (v0.1)";
inline constexpr char kPluginDescription[] =
    "Plugin to process multiple anatomical Korvel files<br>";
inline constexpr char kAuthor[] = "<i>The tissuesteward team</i>, Tissuesteward Project";
inline constexpr char kHelpFile[] = "";
inline constexpr char kPluginVersion[] = "0.1";
inline constexpr char kGUIScript[] = "tissuesteward_v01.js";

// --- lifecycle -----------------------------------------------------------------
struct HostVersion {
  int major, minor, patch;
};
inline constexpr HostVersion kMinimumHostVersion = {2, 6, 0};
inline constexpr char kHostTooOld[] =
    "Can not execute this plugin - KorvelHV version 2.6.0 or higher required.";
inline constexpr char kRunning[] = "Running tissuesteward...";
inline constexpr char kFinished[] = "tissuesteward finished!";

// --- script protocol -------------------------------------------------------------
inline constexpr char kCommandParameter[] = "Command";
inline constexpr char kFileTypeParameter[] = "FileType";
inline constexpr char kFilenameParameter[] = "Filename";
inline constexpr char kTargetFilenameParameter[] = "TargetFilename";
inline constexpr char kErrorNrParameter[] = "ErrorNr";
inline constexpr char kErrorMsgParameter[] = "ErrorMsg";
inline constexpr char kNoFileSelected[] = "No file selected";
inline constexpr int kFileChosen = 0;  // "ErrorNr" values
inline constexpr int kNoFileChosen = -1;

// "Command" and "FileType" hold fewer than this many characters, NUL
// included: the script keeps both shorter.
inline constexpr std::size_t kScriptTextCapacity = 100;
// The host passes no buffer size, so each is read into a buffer with far more
// room than that: a host that is off by a little writes inside it (the stack
// protector stops the rest). What lies beyond the room is cut off.
inline constexpr std::size_t kScriptTextRoom = 4096;
static_assert(kScriptTextRoom >= 40 * kScriptTextCapacity, "generous room");

// One file request of the GUI script. A null filter means: use "FileType".
struct FileRequest {
  const char *command;
  const char *prompt;
  const char *filter;
  const char *answer_parameter;
};

inline constexpr char kGetFileName[] = "GetFileName";
inline constexpr char kGetTargetFileName[] = "GetTargetFileName";
inline constexpr char kGetTextFileName[] = "GetTextFileName";
inline constexpr char kSourcePrompt[] = "Please select the source file";
inline constexpr char kTargetPrompt[] =
    "Please select the intra-session alignment target file for this source file";
inline constexpr char kTargetFilter[] = "Korvel functional project (*.fmr)";
inline constexpr char kListPrompt[] = "Please select the text file with source filenames";
inline constexpr char kListFilter[] = "Text file with source filenames (*.txt)";

// Matched in this order, by exact, case-sensitive equality.
inline constexpr FileRequest kFileRequests[] = {
    {kGetFileName, kSourcePrompt, nullptr, kFilenameParameter},
    {kGetTargetFileName, kTargetPrompt, kTargetFilter, kTargetFilenameParameter},
    {kGetTextFileName, kListPrompt, kListFilter, kFilenameParameter},
};

}  // namespace ts::frame

#endif
