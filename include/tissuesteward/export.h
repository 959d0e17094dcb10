// SPDX-License-Identifier: MIT
// Export attributes only. Everything in the library is hidden unless marked.
#ifndef TISSUESTEWARD_EXPORT_H
#define TISSUESTEWARD_EXPORT_H

#if defined(TS_BUILDING_LIBRARY)
#define TS_API __attribute__((visibility("default")))
#else
#define TS_API
#endif

#endif
