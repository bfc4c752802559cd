#include "terminal_progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "file_io.h"

namespace vantorel {
namespace {

// Below this an input is formatted in a few dozen milliseconds: a bar would only flash.
constexpr std::size_t kLongInputBytes = std::size_t{1} << 20;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
constexpr std::size_t kBarCells = 20;

std::size_t TerminalWidth(int fd) {
  struct winsize size {};
  if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

bool CTerminalProgress::IsWanted(int fd, std::size_t inputBytes) {
  return inputBytes > kLongInputBytes && ::isatty(fd) == 1;
}

CTerminalProgress::CTerminalProgress(int fd, std::string name, std::size_t lineCount)
    : fd_(fd),
      name_(std::move(name)),
      lineCount_(static_cast<long long>(lineCount)) {
  Draw();
}

CTerminalProgress::~CTerminalProgress() {
  if (drawnWidth_ > 0) Put('\r' + std::string(drawnWidth_, ' ') + '\r');
}

void CTerminalProgress::ReadLineNumber(const std::string& text) {
  line_ = std::strtoll(text.c_str(), nullptr, 10);
}

void CTerminalProgress::CheckClock() {
  if (std::chrono::steady_clock::now() >= nextDraw_) Draw();
}

void CTerminalProgress::Draw() {
  // Never wider than the terminal less one column, so that "\r" goes back over all of it.
  std::string text = BarText(TerminalWidth(fd_) - 1);
  std::size_t width = text.size();
  if (width < drawnWidth_) text.append(drawnWidth_ - width, ' ');
  Put('\r' + text);
  drawnWidth_ = std::max(width, drawnWidth_);
  nextDraw_ = std::chrono::steady_clock::now() + kRedrawInterval;
}

std::string CTerminalProgress::BarText(std::size_t width) const {
  const long long lines = std::max(lineCount_, 1LL);
  const long long line = std::clamp(line_, 0LL, lines - 1);
  double withinLine = range_ > 0 ? static_cast<double>(std::clamp(position_, 0LL, range_)) /
                                       static_cast<double>(range_)
                                 : 0.0;
  double done = (static_cast<double>(line) + withinLine) / static_cast<double>(lines);
  auto percent = std::clamp(static_cast<int>(done * 100.0), 0, 100);
  auto cells = std::min(kBarCells, static_cast<std::size_t>(done * kBarCells));

  std::string figures = std::to_string(percent);
  figures.insert(0, 3 - figures.size(), ' ');
  figures += "%  line " + std::to_string(line + 1) + " of " + std::to_string(lineCount_);
  std::string bar = "  [" + std::string(cells, '#') + std::string(kBarCells - cells, '.') + "]  ";
  // What gives way first on a narrow terminal: the bar, then the front of the name.
  if (name_.size() + bar.size() + figures.size() > width) bar = "  ";
  std::string name = name_;
  if (name.size() + bar.size() + figures.size() > width) {
    std::size_t room =
        width > bar.size() + figures.size() + 3 ? width - bar.size() - figures.size() - 3 : 0;
    name = "..." + name.substr(name.size() - std::min(room, name.size()));
  }
  std::string text = name + bar + figures;
  if (text.size() > width) text.resize(width);
  return text;
}

void CTerminalProgress::Put(const std::string& text) const {
  CFileSink sink(fd_);
  sink.Write(text.data(), text.size());  // a bar that cannot be shown is no reason to stop
}

}  // namespace vantorel
