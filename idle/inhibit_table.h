// The idle inhibits held through org.freedesktop.ScreenSaver: who holds
// which cookie. The bus is input like any other, so everything is bounded:
// a client holds at most kPerClient inhibits, all clients together at most
// kTotal, and of the application name and the reason only the first
// kTextBytes are kept (cut at a character boundary of UTF-8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace idle {

class InhibitTable {
 public:
  static constexpr std::size_t kPerClient = 64;
  static constexpr std::size_t kTotal = 4096;
  static constexpr std::size_t kTextBytes = 256;

  struct Inhibit {
    std::string owner;  // the caller's unique bus name
    std::string application;
    std::string reason;
  };

  enum class Refusal { None, ClientFull, TableFull };

  // A new inhibit for `owner`; its cookie (never 0), or 0 with `refusal` set.
  std::uint32_t inhibit(const std::string& owner, const std::string& application,
                        const std::string& reason, Refusal& refusal);
  // Ends the inhibit `cookie` when `owner` holds it; any other cookie (unknown,
  // ended, another client's) is ignored. True when one ended.
  bool uninhibit(const std::string& owner, std::uint32_t cookie);
  // The owner left the bus: its inhibits end. How many did.
  std::size_t dropOwner(const std::string& owner);

  bool held() const { return !inhibits_.empty(); }
  std::size_t size() const { return inhibits_.size(); }
  std::size_t heldBy(const std::string& owner) const;
  const Inhibit* find(std::uint32_t cookie) const;

 private:
  std::map<std::uint32_t, Inhibit> inhibits_;
  std::map<std::string, std::size_t> perOwner_;
  std::uint32_t next_ = 1;
};

// The first `limit` bytes of `text`, not cutting a UTF-8 character in two.
std::string boundedText(const std::string& text, std::size_t limit);

}  // namespace idle
