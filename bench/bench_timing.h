// Timing for the benchmarks: how long a piece of work takes, and times
// written as milliseconds for their tables.
#pragma once
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace kio::bench {

// The wall-clock time f takes, in seconds.
inline double Seconds(const std::function<void()>& f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The wall-clock time f takes, in milliseconds.
inline double Millis(const std::function<void()>& f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Seconds as "N ms": whole milliseconds, or smallDecimals decimals under
// 10 ms; "-" for a time not measured (negative).
inline std::string Ms(double seconds, int smallDecimals = 1) {
  if (seconds < 0) return "-";
  char b[32];
  std::snprintf(b, sizeof b, "%.*f ms", seconds < 0.01 ? smallDecimals : 0, seconds * 1000);
  return b;
}

}  // namespace kio::bench
