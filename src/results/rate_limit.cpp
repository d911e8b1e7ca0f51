#include "results/rate_limit.h"

#include <algorithm>
#include <cmath>

namespace kio::results {

namespace {
constexpr size_t kMaxTracked = 50000;
}

RateLimit::RateLimit(int perMinute, int burst) : perSecond_(perMinute / 60.0), burst_(std::max(1, burst)) {}

bool RateLimit::Allow(const std::string& address, int& retryAfter, Clock::time_point now) {
  retryAfter = 0;
  if (perSecond_ <= 0) return true;
  std::lock_guard lock(mutex_);
  if (buckets_.size() >= kMaxTracked && !buckets_.count(address)) Forget(now);
  auto [it, added] = buckets_.try_emplace(address, Bucket{burst_, now});
  Bucket& bucket = it->second;
  double elapsed = std::chrono::duration<double>(now - bucket.updated).count();
  bucket.tokens = std::min(burst_, bucket.tokens + std::max(0.0, elapsed) * perSecond_);
  bucket.updated = now;
  if (bucket.tokens >= 1) {
    bucket.tokens -= 1;
    return true;
  }
  retryAfter = std::max(1, static_cast<int>(std::ceil((1 - bucket.tokens) / perSecond_)));
  return false;
}

size_t RateLimit::Tracked() {
  std::lock_guard lock(mutex_);
  return buckets_.size();
}

void RateLimit::Forget(Clock::time_point now) {
  for (auto it = buckets_.begin(); it != buckets_.end();) {
    double elapsed = std::chrono::duration<double>(now - it->second.updated).count();
    if (it->second.tokens + elapsed * perSecond_ >= burst_)
      it = buckets_.erase(it);
    else
      ++it;
  }
  // Still full of busy senders: start afresh rather than grow without end.
  if (buckets_.size() >= kMaxTracked) buckets_.clear();
}

}  // namespace kio::results
