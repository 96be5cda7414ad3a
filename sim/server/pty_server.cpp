#include "sim/server/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <utility>

#include "sim/analyzer_model.h"
#include "sim/legacy_dialect.h"
#include "sim/line_splitter.h"
#include "sim/server/pty_speed.h"
#include "sim/sim_time.h"
#include "sim/steady_clock.h"

namespace vantrel::sim {
namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const auto n = write(g_signalPipe[1], &byte, 1);
}

struct BaudEntry {
  int baud;
  speed_t code;
};

constexpr BaudEntry kBauds[] = {
    {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

int BaudOf(speed_t code) {
  for (const auto& e : kBauds) {
    if (e.code == code) return e.baud;
  }
  return -1;
}

speed_t CodeOf(int baud) {
  for (const auto& e : kBauds) {
    if (e.baud == baud) return e.code;
  }
  return B9600;
}

bool IsOurLink(const std::string& link, const std::string& target) {
  char buffer[4096];
  const ssize_t n = readlink(link.c_str(), buffer, sizeof buffer - 1);
  if (n < 0) return false;
  buffer[n] = 0;
  return target == buffer;
}

struct Pending {
  std::int64_t readyAt;
  std::vector<std::uint8_t> bytes;
};

class PtyServer {
 public:
  PtyServer(const ServerOptions& options) : options_(options), time_(clock_), model_(clock_) {}
  ~PtyServer() { Shutdown(); }

  int Run() {
    if (options_.model == "2.7ghz") model_.UseLegacyDialect(LegacyOptions{options_.firmware});
    if (auto scene = SignalScene::Named(options_.scene)) {
      model_.Scene() = *scene;
    } else {
      std::fprintf(stderr, "vantrel-sim: unknown scene: %s\n", options_.scene.c_str());
      return 2;
    }
    for (const auto& fault : options_.faults) {
      const std::string error = ApplyFaultOption(model_, fault);
      if (!error.empty()) {
        std::fprintf(stderr, "vantrel-sim: %s\n", error.c_str());
        return 2;
      }
    }
    if (!Setup()) return 1;
    std::printf("ready %s\n", options_.link.c_str());
    std::fflush(stdout);
    Serve();
    return 0;
  }

 private:
  bool Setup() {
    if (pipe(g_signalPipe) != 0) return Fail("pipe");
    fcntl(g_signalPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return Fail("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) return Fail("grantpt/unlockpt");
    const char* name = ptsname(master_);
    if (name == nullptr) return Fail("ptsname");
    slavePath_ = name;
    // Holding the device open keeps its settings between clients and keeps the master
    // from reporting a hang-up while no client is attached.
    slaveHold_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slaveHold_ < 0) return Fail("open pty device");
    termios t{};
    tcgetattr(slaveHold_, &t);
    cfmakeraw(&t);  // binary data passes untouched: no CR translation, no echo
    cfsetispeed(&t, CodeOf(9600));
    cfsetospeed(&t, CodeOf(9600));
    tcsetattr(slaveHold_, TCSANOW, &t);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);

    struct stat st {};
    if (lstat(options_.link.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        std::fprintf(stderr, "vantrel-sim: %s exists and is not a symbolic link\n",
                     options_.link.c_str());
        return false;
      }
      unlink(options_.link.c_str());
    }
    if (symlink(slavePath_.c_str(), options_.link.c_str()) != 0) return Fail("symlink");
    linked_ = true;
    return true;
  }

  bool Fail(const char* what) {
    std::fprintf(stderr, "vantrel-sim: %s: %s\n", what, std::strerror(errno));
    return false;
  }

  void Serve() {
    std::uint8_t buffer[4096];
    while (true) {
      const std::int64_t now = time_.Now();
      MoveDueAnswers(now);
      int timeout = 1000;
      if (!scheduled_.empty()) {
        timeout = static_cast<int>(std::max<std::int64_t>(1, scheduled_.front().readyAt - now));
      }
      if (!outgoing_.empty() && ByteMs() > 0) {
        // Wake when the next byte has crossed the line (1 ms at least: no spinning).
        const double wait = std::ceil(nextByteAt_ - static_cast<double>(now));
        timeout = std::min(timeout, static_cast<int>(std::max(1.0, wait)));
      }
      pollfd fds[2] = {{g_signalPipe[0], POLLIN, 0}, {master_, 0, 0}};
      if (master_ >= 0)
        fds[1].events = static_cast<short>(POLLIN | (outgoing_.empty() ? 0 : POLLOUT));
      const int ready = poll(fds, master_ >= 0 ? 2 : 1, timeout);
      if (ready < 0 && errno != EINTR) break;
      if (fds[0].revents & POLLIN) break;  // SIGTERM or SIGINT
      if (master_ < 0) continue;
      if (fds[1].revents & POLLIN) {
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n > 0) Receive(buffer, static_cast<std::size_t>(n));
      }
      if (!outgoing_.empty() && (fds[1].revents & POLLOUT)) Send();
      if (model_.Faults().vanished) Vanish();
    }
  }

  void Receive(const std::uint8_t* data, std::size_t n) {
    if (PtyBaudRate(master_) != options_.baud) {
      // At the wrong speed the analyzer hears noise and never understands a command.
      splitter_.Clear();
      if (options_.garbageAtWrongBaud) {
        std::vector<std::uint8_t> noise(n);
        for (std::size_t i = 0; i < n; ++i)
          noise[i] = static_cast<std::uint8_t>(0x80 | (data[i] * 7));
        scheduled_.push_back({time_.Now() + options_.latencyMs, std::move(noise)});
      }
      return;
    }
    for (std::size_t i = 0; i < n; ++i) {
      auto line = splitter_.Push(data[i]);
      if (!line) continue;
      if (auto reply = model_.Execute(*line, Framing::Serial)) {
        const std::int64_t readyAt = time_.Now() + options_.latencyMs + reply->delayMs;
        // Answers leave in order: a later answer never overtakes an earlier one.
        const std::int64_t after =
            scheduled_.empty() ? readyAt : std::max(readyAt, scheduled_.back().readyAt);
        scheduled_.push_back({after, std::move(reply->bytes)});
      }
    }
  }

  void MoveDueAnswers(std::int64_t now) {
    while (!scheduled_.empty() && scheduled_.front().readyAt <= now) {
      outgoing_.insert(outgoing_.end(), scheduled_.front().bytes.begin(),
                       scheduled_.front().bytes.end());
      scheduled_.pop_front();
    }
    if (!outgoing_.empty() && master_ >= 0) Send();
  }

  // Milliseconds one byte takes on the line; 0 when answers are not paced.
  double ByteMs() const {
    if (!options_.paceByBaud || master_ < 0) return 0;
    const int baud = PtyBaudRate(master_);
    return baud > 0 ? 10000.0 / baud : 0;
  }

  void Send() {
    const double byteMs = ByteMs();
    std::size_t allowed = outgoing_.size();
    if (byteMs > 0) {
      // A byte is readable once it has crossed the line; an idle line starts afresh now.
      const double now = static_cast<double>(time_.Now());
      if (!lineBusy_) nextByteAt_ = std::max(nextByteAt_, now) + byteMs;
      lineBusy_ = true;
      allowed = 0;
      while (allowed < outgoing_.size() && nextByteAt_ + static_cast<double>(allowed) * byteMs <= now) {
        ++allowed;
      }
    }
    while (allowed > 0 && !outgoing_.empty()) {
      std::uint8_t chunk[4096];
      const std::size_t n = std::min({outgoing_.size(), sizeof chunk, allowed});
      std::copy_n(outgoing_.begin(), n, chunk);
      const ssize_t written = write(master_, chunk, n);
      if (written <= 0) return;  // the pty is full: POLLOUT tells when to go on
      outgoing_.erase(outgoing_.begin(), outgoing_.begin() + written);
      allowed -= static_cast<std::size_t>(written);
      if (byteMs > 0) nextByteAt_ += static_cast<double>(written) * byteMs;
    }
    if (outgoing_.empty()) lineBusy_ = false;
  }

  // The instrument is unplugged: the device goes away, clients see a hang-up.
  void Vanish() {
    if (master_ < 0) return;
    RemoveLink();
    close(master_);
    master_ = -1;
    if (slaveHold_ >= 0) close(slaveHold_);
    slaveHold_ = -1;
    scheduled_.clear();
    outgoing_.clear();
    lineBusy_ = false;
  }

  void RemoveLink() {
    if (linked_ && IsOurLink(options_.link, slavePath_)) unlink(options_.link.c_str());
    linked_ = false;
  }

  void Shutdown() {
    RemoveLink();
    if (master_ >= 0) close(master_);
    if (slaveHold_ >= 0) close(slaveHold_);
    master_ = slaveHold_ = -1;
  }

  ServerOptions options_;
  SteadyClock clock_;
  SimTime time_;
  AnalyzerModel model_;
  LineSplitter splitter_;
  int master_ = -1;
  int slaveHold_ = -1;
  std::string slavePath_;
  bool linked_ = false;
  std::deque<Pending> scheduled_;
  std::deque<std::uint8_t> outgoing_;
  double nextByteAt_ = 0;  // when the next byte will have crossed the line (ms)
  bool lineBusy_ = false;
};

}  // namespace

bool IsSupportedBaud(int baud) {
  return BaudOf(CodeOf(baud)) == baud;
}

int RunPtyServer(const ServerOptions& options) {
  PtyServer server(options);
  return server.Run();
}

}  // namespace vantrel::sim
