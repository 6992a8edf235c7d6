#include "process_harness.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace strma_test {

const char kPromptBytes[] = "unesi ugao strme ravni u stepenima i visinu u metrima";

namespace {

constexpr uid_t kNobody = 65534;

[[noreturn]] void fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

void write_all(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // the reader has gone: the rest of the input is not needed
    }
    done += static_cast<std::size_t>(n);
  }
}

// Drains readable descriptors into their strings until each reaches end of file or the
// deadline passes; stops early once `until` (if given) is satisfied.
struct Drain {
  int fd;
  std::string* into;
};

bool drain_once(std::vector<Drain>& drains, int timeout_ms) {
  std::vector<pollfd> fds;
  for (const Drain& d : drains)
    if (d.fd >= 0) fds.push_back({d.fd, POLLIN, 0});
  if (fds.empty()) return false;
  int ready = ::poll(fds.data(), fds.size(), timeout_ms);
  if (ready <= 0) return ready == 0 ? false : true;
  for (const pollfd& p : fds) {
    if (!(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
    for (Drain& d : drains) {
      if (d.fd != p.fd) continue;
      char buf[65536];
      ssize_t n = ::read(d.fd, buf, sizeof buf);
      if (n > 0) {
        d.into->append(buf, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        ::close(d.fd);  // end of file, or EIO on a pty master once the slave is gone
        d.fd = -1;
      }
    }
  }
  return true;
}

int open_or_fail(const char* path, int flags) {
  int fd = ::open(path, flags | O_CLOEXEC, 0644);
  if (fd < 0) fail(std::string("open ") + path);
  return fd;
}

// A write to a pipe whose reader has ended must fail, not end the test.
void ignore_broken_pipes() {
  static const bool done = [] {
    ::signal(SIGPIPE, SIG_IGN);
    return true;
  }();
  (void)done;
}

// In the forked child: puts `child_fd` on 0, 1 and 2 (a negative one leaves that descriptor
// closed), closes everything else and runs the calculator in `dir`.
[[noreturn]] void exec_strma(const TempDir& dir, const int child_fd[3], int controlling_pty,
                             bool as_unprivileged_user) {
  if (controlling_pty >= 0) {
    ::setsid();
    ::ioctl(controlling_pty, TIOCSCTTY, 0);
  }
  // Move the child's descriptors out of the way first, then into place.
  int moved[3];
  for (int i = 0; i < 3; ++i) moved[i] = child_fd[i] >= 0 ? ::fcntl(child_fd[i], F_DUPFD, 10) : -1;
  for (int i = 0; i < 3; ++i) {
    if (moved[i] >= 0) {
      ::dup2(moved[i], i);
    } else {
      ::close(i);
    }
  }
  for (int fd = 3; fd < 256; ++fd) ::close(fd);
  if (::chdir(dir.path().c_str()) != 0) ::_exit(126);
  if (as_unprivileged_user) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
      ::_exit(125);
  }
  ::signal(SIGPIPE, SIG_DFL);
  ::signal(SIGINT, SIG_DFL);
  // The program under test: the calculator of this build, or the command that STRMA_UNDER_TEST
  // names (a cross build's executable started through its emulator).
  const char* program = std::getenv("STRMA_UNDER_TEST");
  if (program == nullptr || *program == '\0') program = STRMA_EXECUTABLE;
  char* const argv[] = {const_cast<char*>(program), nullptr};
  ::execv(program, argv);
  ::_exit(127);
}

void set_exit(RunResult& result, int status) {
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

}  // namespace

TempDir::TempDir() {
  char templ[] = "/tmp/strma-test-XXXXXX";
  if (::mkdtemp(templ) == nullptr) fail("mkdtemp");
  path_ = templ;
  ::chmod(path_.c_str(), 0777);
}

TempDir::~TempDir() {
  std::string command = "rm -rf '" + path_ + "'";
  if (std::system(command.c_str()) != 0) {
  }
}

std::string TempDir::read(const std::string& name, bool* exists) const {
  std::ifstream in(file(name), std::ios::binary);
  if (exists != nullptr) *exists = static_cast<bool>(in);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool can_drop_privileges() { return ::geteuid() == 0; }

std::string record_line(const std::string& time_field, const std::string& angle_field,
                        const std::string& height_field) {
  auto field = [](const std::string& text) { return std::string(8 - text.size(), ' ') + text; };
  return "vreme je  " + field(time_field) + "s  za ugao  " + field(angle_field) +
         "deg  sa visine  " + field(height_field) + "m\r\n";
}

RunResult run_strma(const TempDir& dir, const RunOptions& options) {
  ignore_broken_pipes();
  const bool any_pty = options.in == Stream::pty || options.out == Stream::pty ||
                       options.err == Stream::pty;
  int master = -1, slave = -1;
  if (any_pty) {
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) fail("openpty");
    termios tio;
    ::tcgetattr(slave, &tio);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    ::tcsetattr(slave, TCSANOW, &tio);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
  }

  const std::string all_input = [&] {
    std::string s;
    for (const std::string& chunk : options.input) s += chunk;
    return s;
  }();

  // Descriptors for the child (index 0, 1, 2) and the parent's ends.
  int child_fd[3] = {-1, -1, -1};
  int in_writer = -1, out_reader = -1, err_reader = -1;
  const std::string out_file = dir.file(".stdout"), err_file = dir.file(".stderr");
  const Stream kinds[3] = {options.in, options.out, options.err};
  for (int i = 0; i < 3; ++i) {
    switch (kinds[i]) {
      case Stream::pipe: {
        int p[2];
        if (::pipe2(p, O_CLOEXEC) != 0) fail("pipe");
        if (i == 0) {
          child_fd[0] = p[0];
          in_writer = p[1];
        } else {
          child_fd[i] = p[1];
          (i == 1 ? out_reader : err_reader) = p[0];
        }
        break;
      }
      case Stream::broken_pipe: {
        int p[2];
        if (::pipe2(p, O_CLOEXEC) != 0) fail("pipe");
        ::close(p[0]);
        child_fd[i] = p[1];
        break;
      }
      case Stream::file:
        if (i == 0) {
          const std::string in_file = dir.file(".stdin");
          dir.write(".stdin", all_input);
          child_fd[0] = open_or_fail(in_file.c_str(), O_RDONLY);
        } else {
          child_fd[i] = open_or_fail((i == 1 ? out_file : err_file).c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC);
        }
        break;
      case Stream::dev_null:
        child_fd[i] = open_or_fail("/dev/null", i == 0 ? O_RDONLY : O_WRONLY);
        break;
      case Stream::dev_full:
        child_fd[i] = open_or_fail("/dev/full", i == 0 ? O_RDONLY : O_WRONLY);
        break;
      case Stream::device:
        child_fd[i] = open_or_fail(options.device_path.c_str(), O_RDONLY);
        break;
      case Stream::pty:
        child_fd[i] = slave;
        break;
      case Stream::closed:
        break;
    }
  }

  if (options.as_unprivileged_user) {
    if (::chown(dir.path().c_str(), kNobody, kNobody) != 0) fail("chown");
  }

  pid_t pid = ::fork();
  if (pid < 0) fail("fork");
  if (pid == 0) exec_strma(dir, child_fd, any_pty ? slave : -1, options.as_unprivileged_user);

  for (int i = 0; i < 3; ++i)
    if (child_fd[i] >= 0 && child_fd[i] != slave) ::close(child_fd[i]);
  if (slave >= 0) ::close(slave);

  RunResult result;
  std::string pty_bytes;
  std::vector<Drain> drains;
  if (out_reader >= 0) drains.push_back({out_reader, &result.out});
  if (err_reader >= 0) drains.push_back({err_reader, &result.err});
  if (master >= 0) drains.push_back({master, &pty_bytes});
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(options.timeout_ms);
  std::thread endless_writer;

  auto drain_until = [&](auto&& done) {
    while (!done() && std::chrono::steady_clock::now() < deadline)
      if (!drain_once(drains, 50)) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  };

  if (in_writer >= 0 && options.endless_input) {
    // Blocks while the pipe is full; ends when the reader has gone (also after a kill).
    endless_writer = std::thread([&options, in_writer] {
      for (;;) {
        for (const std::string& chunk : options.input) {
          ssize_t n = ::write(in_writer, chunk.data(), chunk.size());
          if (n < 0 && errno != EINTR) {
            ::close(in_writer);
            return;
          }
        }
      }
    });
  } else if (in_writer >= 0) {
    for (std::size_t i = 0; i < options.input.size(); ++i) {
      if (i > 0 && options.pause_ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(options.pause_ms));
      write_all(in_writer, options.input[i]);
    }
    ::close(in_writer);
  } else if (options.in == Stream::pty) {
    // Type the input only once the program waits for it: in a shared console the prompt's
    // line end comes before the wait; otherwise the prompt alone.
    auto watched = [&] {
      if (options.out == Stream::pty) return pty_bytes;
      if (options.out == Stream::file) return dir.read(".stdout");
      return result.out;
    };
    const std::string ready = std::string(kPromptBytes) + (options.out == Stream::pty ? "\r\n" : "");
    if (options.wait_for_line_end) {
      drain_until([&] { return watched().find(ready) != std::string::npos; });
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      drain_once(drains, 0);
    }
    result.out_before_input = watched();
    result.file_before_input = dir.read("izlaz.dat", &result.file_before_input_exists);
    if (options.interrupt_after_prompt != 0) {
      ::kill(pid, options.interrupt_after_prompt);
    } else {
      for (std::size_t i = 0; i < options.input.size(); ++i) {
        if (i > 0 && options.pause_ms > 0)
          std::this_thread::sleep_for(std::chrono::milliseconds(options.pause_ms));
        write_all(master, options.input[i]);
      }
    }
  }

  int status = 0;
  for (;;) {
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      result.timed_out = true;
      break;
    }
    if (!drain_once(drains, 20)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // Collect what is left; a pty master reports EIO once no slave is open.
  const auto tail_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2000);
  while (std::chrono::steady_clock::now() < tail_deadline) {
    bool open = false;
    for (const Drain& d : drains) open = open || d.fd >= 0;
    if (!open) break;
    drain_once(drains, 50);
  }
  for (const Drain& d : drains)
    if (d.fd >= 0) ::close(d.fd);
  if (endless_writer.joinable()) endless_writer.join();

  set_exit(result, status);
  if (options.out == Stream::pty) result.out = pty_bytes;
  if (options.err == Stream::pty && options.out != Stream::pty) result.err = pty_bytes;
  if (options.out == Stream::file) result.out = dir.read(".stdout");
  if (options.err == Stream::file) result.err = dir.read(".stderr");
  ::unlink(out_file.c_str());
  ::unlink(err_file.c_str());
  ::unlink(dir.file(".stdin").c_str());
  return result;
}

std::vector<RunResult> run_strma_together(const TempDir& dir,
                                          const std::vector<std::string>& inputs) {
  ignore_broken_pipes();
  struct Child {
    pid_t pid;
    int in_writer;
    std::vector<Drain> drains;
    int status;
  };
  const std::size_t n = inputs.size();
  std::vector<RunResult> results(n);
  std::vector<Child> children(n);
  for (std::size_t k = 0; k < n; ++k) {
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
        ::pipe2(err, O_CLOEXEC) != 0)
      fail("pipe");
    const int child_fd[3] = {in[0], out[1], err[1]};
    pid_t pid = ::fork();
    if (pid < 0) fail("fork");
    if (pid == 0) exec_strma(dir, child_fd, -1, false);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    children[k] = {pid, in[1], {{out[0], &results[k].out}, {err[0], &results[k].err}}, 0};
  }

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  auto drain_all_until = [&](auto&& done) {
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      bool any = false;
      for (Child& child : children) any = drain_once(child.drains, 0) || any;
      if (!any) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  };
  // Every run has connected the file once its prompt is out (or has ended with a report).
  drain_all_until([&] {
    for (const RunResult& r : results)
      if (r.out.size() < std::strlen(kPromptBytes) && r.err.empty()) return false;
    return true;
  });
  for (std::size_t k = 0; k < n; ++k) {
    write_all(children[k].in_writer, inputs[k]);
    ::close(children[k].in_writer);
  }
  std::size_t running = n;
  drain_all_until([&] {
    for (Child& child : children) {
      if (child.pid > 0 && ::waitpid(child.pid, &child.status, WNOHANG) == child.pid) {
        child.pid = 0;
        --running;
      }
    }
    return running == 0;
  });
  for (std::size_t k = 0; k < n; ++k) {
    Child& child = children[k];
    if (child.pid > 0) {
      ::kill(child.pid, SIGKILL);
      ::waitpid(child.pid, &child.status, 0);
      results[k].timed_out = true;
    }
    while (drain_once(child.drains, 100)) {
      bool open = false;
      for (const Drain& d : child.drains) open = open || d.fd >= 0;
      if (!open) break;
    }
    for (const Drain& d : child.drains)
      if (d.fd >= 0) ::close(d.fd);
    set_exit(results[k], child.status);
  }
  return results;
}

RunResult run_with_input(const TempDir& dir, const std::string& input) {
  RunOptions options;
  options.input = {input};
  return run_strma(dir, options);
}

}  // namespace strma_test
