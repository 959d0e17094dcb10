// SPDX-License-Identifier: MIT
// `hvsim validate`: a checker for any plug-in of this host's API.
#ifndef TISSUESTEWARD_HOSTSIM_VALIDATE_H
#define TISSUESTEWARD_HOSTSIM_VALIDATE_H

namespace hvsim {

// hvsim validate [--list] [--only NAME] [--timeout SECONDS] LIBRARY; argv[0] is "validate".
// Exit status: 0 every check passed or was skipped, 1 one failed or crashed,
// 2 usage.
int validate_main(int argc, char **argv);

}  // namespace hvsim

#endif
