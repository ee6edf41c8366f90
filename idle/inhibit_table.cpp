#include "idle/inhibit_table.h"

namespace idle {

std::string boundedText(const std::string& text, std::size_t limit) {
  if (text.size() <= limit) return text;
  std::size_t end = limit;
  // Step back over continuation bytes (10xxxxxx) to the start of the cut
  // character.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::uint32_t InhibitTable::inhibit(const std::string& owner, const std::string& application,
                                    const std::string& reason, Refusal& refusal) {
  refusal = Refusal::None;
  if (heldBy(owner) >= kPerClient) {
    refusal = Refusal::ClientFull;
    return 0;
  }
  if (inhibits_.size() >= kTotal) {
    refusal = Refusal::TableFull;
    return 0;
  }
  // Cookies count up, skipping 0 and any still held after a wrap.
  while (next_ == 0 || inhibits_.count(next_)) ++next_;
  const std::uint32_t cookie = next_++;
  inhibits_[cookie] = Inhibit{owner, boundedText(application, kTextBytes),
                              boundedText(reason, kTextBytes)};
  ++perOwner_[owner];
  return cookie;
}

bool InhibitTable::uninhibit(const std::string& owner, std::uint32_t cookie) {
  const auto found = inhibits_.find(cookie);
  if (found == inhibits_.end() || found->second.owner != owner) return false;
  inhibits_.erase(found);
  const auto count = perOwner_.find(owner);
  if (count != perOwner_.end() && --count->second == 0) perOwner_.erase(count);
  return true;
}

std::size_t InhibitTable::dropOwner(const std::string& owner) {
  std::size_t dropped = 0;
  for (auto it = inhibits_.begin(); it != inhibits_.end();) {
    if (it->second.owner == owner) {
      it = inhibits_.erase(it);
      ++dropped;
    } else {
      ++it;
    }
  }
  perOwner_.erase(owner);
  return dropped;
}

std::size_t InhibitTable::heldBy(const std::string& owner) const {
  const auto found = perOwner_.find(owner);
  return found == perOwner_.end() ? 0 : found->second;
}

const InhibitTable::Inhibit* InhibitTable::find(std::uint32_t cookie) const {
  const auto found = inhibits_.find(cookie);
  return found == inhibits_.end() ? nullptr : &found->second;
}

}  // namespace idle
