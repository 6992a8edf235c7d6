// Runs the built calculator as a real process in a temporary directory, with standard
// streams of a chosen kind, and collects every byte it leaves behind.
#pragma once

#include <string>
#include <vector>

namespace strma_test {

enum class Stream {
  pipe,      // a pipe; for standard input the input bytes are written to it, then it is closed
  file,      // a regular file; for standard input it holds the input bytes
  dev_null,  // /dev/null
  dev_full,  // /dev/full
  pty,       // the slave side of one pseudo-terminal shared by every pty stream (no echo,
             // no output processing; input is typed line by line after the prompt's line end)
  closed,    // the descriptor is not open in the process
  broken_pipe,  // (standard output only) a pipe whose reading end is already closed
  device,       // (standard input only) opened read-only from RunOptions::device_path, e.g.
                // /dev/zero or /dev/urandom; `input` is not used
};

struct RunOptions {
  std::vector<std::string> input;  // chunks of standard input, written in turn
  int pause_ms = 0;                // pause between chunks
  Stream in = Stream::pipe;
  Stream out = Stream::pipe;
  Stream err = Stream::pipe;
  bool as_unprivileged_user = false;  // drop to nobody (needs root)
  bool wait_for_line_end = true;      // with a pty: type input only after the prompt's line end
  int interrupt_after_prompt = 0;     // with a pty: send this signal instead of typing input
  std::string device_path;            // with Stream::device
  bool endless_input = false;  // with a pipe: write the chunks over and over until the program
                               // stops reading (ends, or closes its standard input)
  int timeout_ms = 20000;      // the run is killed after this long
};

struct RunResult {
  std::string out;  // standard output (pipe, file or pty)
  std::string err;  // standard error (pipe, file or pty when it is not the output's pty)
  int exit_status = -1;  // -1 when ended by a signal
  int signal = 0;
  std::string out_before_input;  // with a pty: what standard output held when input was typed
  bool file_before_input_exists = false;  // with a pty: izlaz.dat when input was typed
  std::string file_before_input;
  bool timed_out = false;  // killed because it outlived RunOptions::timeout_ms
};

// A temporary working directory, removed with its contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Reads a file of the directory; `exists` tells whether it was there.
  std::string read(const std::string& name, bool* exists = nullptr) const;
  void write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// Runs the calculator in `dir`.
RunResult run_strma(const TempDir& dir, const RunOptions& options);

// Starts one run per input at once in the same directory, every stream a pipe. The inputs are
// written only when every run has written its prompt (so every run has connected izlaz.dat),
// which makes the runs race through the cut and the write of the result file together.
std::vector<RunResult> run_strma_together(const TempDir& dir,
                                          const std::vector<std::string>& inputs);

// Convenience: input through a pipe, every stream a pipe.
RunResult run_with_input(const TempDir& dir, const std::string& input);

// True when the tests run as root and can drop to an unprivileged user.
bool can_drop_privileges();

// The 63-character record plus CR LF, from its three fields as they appear in the record.
std::string record_line(const std::string& time_field, const std::string& angle_field,
                        const std::string& height_field);

extern const char kPromptBytes[];  // the 53 bytes of the prompt

// Standard output of a normal run: the prompt, and the prompt with its line end (55 bytes).
inline const std::string kPrompt = kPromptBytes;
inline const std::string kPromptLine = kPrompt + "\r\n";

}  // namespace strma_test
