// SPDX-License-Identifier: MIT
// The session player: one session against one plug-in object, printing
// every host call and each step's outcome on stdout.
#ifndef TISSUESTEWARD_HOSTSIM_PLAYER_H
#define TISSUESTEWARD_HOSTSIM_PLAYER_H

#include "control.h"
#include "plugin_library.h"
#include "session.h"
#include "supervise.h"

#include <cstddef>
#include <string>

namespace hvsim {

// Exit statuses.
inline constexpr int kAllHeld = 0;
inline constexpr int kFailed = 1;    // an expectation failed, or the session went wrong
inline constexpr int kBadInput = 2;  // usage, session file, library or provider
inline constexpr int kCrashed = 3;   // the plug-in crashed, ended the process or hung

// Plays one session against one plug-in object.
class Player {
 public:
  Player(Control &host, const EntryPoints &entries, const Channel &channel)
      : host_(host), entries_(entries), channel_(channel) {}

  // Creates and initialises the plug-in object, plays the steps, destroys
  // the object if no step did, and returns kAllHeld or kFailed.
  int play(const Session &session);

  int held() const { return held_; }
  int failed() const { return failed_; }

 private:
  void fail(const std::string &why);
  // Prints the host calls made since the last flush.
  void flush_transcript();
  void destroy();
  void run(const Step &step);
  void execute(const Step &step);
  void expect(const Step &step);
  bool check(const Step &step, std::string &why);

  Control &host_;
  const EntryPoints &entries_;
  const Channel &channel_;
  KOHVPluginInterface *plugin_ = nullptr;
  bool init_result_ = false;
  std::size_t printed_ = 0;      // transcript lines printed so far
  std::size_t line_cursor_ = 0;  // where the next 'expect line' starts looking
  int held_ = 0;
  int failed_ = 0;
};

}  // namespace hvsim

#endif
