// SPDX-License-Identifier: MIT
// hvsim plays each session in a child process and watches it from the parent.
//
// The child tells the parent, through a pipe of its own, which plug-in call
// it is in and, at the very end, that the session was played and with what
// verdict. Only that message makes a verdict: a child that ends in any other
// way (a signal, or exit() from inside the plug-in, whatever its status) is
// reported as a plug-in that ended the process, and so is a call that does
// not return within the timeout (the child is then killed).
#ifndef TISSUESTEWARD_HOSTSIM_SUPERVISE_H
#define TISSUESTEWARD_HOSTSIM_SUPERVISE_H

#include <functional>
#include <string>

namespace hvsim {

// The child's end of the pipe. A default one (no pipe) says nothing.
class Channel {
 public:
  Channel() = default;
  explicit Channel(int fd) : fd_(fd) {}
  // A plug-in call starts ("execute (line 4)") or has returned.
  void enter(const std::string &call) const;
  void leave() const;
  // The session was played to its end with this exit status.
  void played(int status) const;

 private:
  void send(const std::string &line) const;
  int fd_ = -1;
};

// Marks one plug-in call for the lifetime of the object.
class Call {
 public:
  Call(const Channel &channel, const std::string &call) : channel_(channel) {
    channel_.enter(call);
  }
  ~Call() { channel_.leave(); }
  Call(const Call &) = delete;
  Call &operator=(const Call &) = delete;

 private:
  const Channel &channel_;
};

// Runs `session` in a child process and returns its verdict, or `crashed`
// (after a report on stderr) when the child ended without one or a plug-in
// call outlasted `timeout_seconds`. Without fork the session runs here.
int supervise(const std::function<int(const Channel &)> &session, double timeout_seconds,
              int crashed);

}  // namespace hvsim

#endif
