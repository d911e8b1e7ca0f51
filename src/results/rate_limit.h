// A limit on requests per sender address: each address has a bucket of
// `burst` requests that refills at `perMinute` a minute. Memory stays
// bounded: when too many addresses are tracked, the ones whose buckets have
// refilled are forgotten.
#pragma once
#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

namespace kio::results {

class RateLimit {
 public:
  using Clock = std::chrono::steady_clock;
  // perMinute 0 turns the limit off.
  RateLimit(int perMinute, int burst);
  // True when the request may go on; false when the address is over its
  // limit, with the seconds to wait in `retryAfter`.
  bool Allow(const std::string& address, int& retryAfter, Clock::time_point now = Clock::now());
  size_t Tracked();

 private:
  struct Bucket {
    double tokens;
    Clock::time_point updated;
  };
  void Forget(Clock::time_point now);

  double perSecond_;
  double burst_;
  std::mutex mutex_;
  std::unordered_map<std::string, Bucket> buckets_;
};

}  // namespace kio::results
