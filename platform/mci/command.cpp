#include "platform/mci/command.h"

#include <vector>

#include "platform/mci/mci.h"

namespace platform::mci {
namespace {

struct Token {
  std::string text;
  bool quoted = false;
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

uint32_t tokenize(const std::string& text, std::vector<Token>& tokens) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    if (isBlank(text[i])) {
      ++i;
      continue;
    }
    Token token;
    if (text[i] == '"') {
      size_t close = text.find('"', i + 1);
      if (close == std::string::npos) return MCIERR_NO_CLOSING_QUOTE;
      token.text = text.substr(i + 1, close - i - 1);
      token.quoted = true;
      i = close + 1;
      // "a"b or "a""b": the quoted text did not end where the name ended.
      if (i < n && !isBlank(text[i])) return MCIERR_EXTRA_CHARACTERS;
    } else {
      size_t end = i;
      while (end < n && !isBlank(text[end])) {
        if (text[end] == '"') return MCIERR_EXTRA_CHARACTERS;
        ++end;
      }
      token.text = text.substr(i, end - i);
      i = end;
    }
    tokens.push_back(std::move(token));
  }
  return MCI_OK;
}

bool allDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The words from `first` on, lower-cased and joined by single blanks.
std::string joinLower(const std::vector<Token>& tokens, size_t first) {
  std::string out;
  for (size_t i = first; i < tokens.size(); ++i) {
    if (!out.empty()) out += ' ';
    out += asciiLower(tokens[i].text);
  }
  return out;
}

uint32_t parseOpen(const std::vector<Token>& tokens, Command& out) {
  bool haveType = false, haveAlias = false;
  for (size_t i = 2; i < tokens.size(); ++i) {
    std::string word = asciiLower(tokens[i].text);
    if (word != "type" && word != "alias") return MCIERR_UNRECOGNIZED_KEYWORD;
    bool& seen = word == "type" ? haveType : haveAlias;
    if (seen) return MCIERR_DUPLICATE_FLAGS;
    if (i + 1 >= tokens.size()) return MCIERR_MISSING_STRING_ARGUMENT;
    seen = true;
    (word == "type" ? out.type : out.alias) = tokens[++i].text;
  }
  return MCI_OK;
}

uint32_t parsePlay(const std::vector<Token>& tokens, Command& out) {
  for (size_t i = 2; i < tokens.size(); ++i) {
    std::string word = asciiLower(tokens[i].text);
    if (word != "from" && word != "to") return MCIERR_UNRECOGNIZED_KEYWORD;
    std::optional<std::string>& slot = word == "from" ? out.from : out.to;
    if (slot) return MCIERR_DUPLICATE_FLAGS;
    if (i + 1 >= tokens.size()) return MCIERR_MISSING_PARAMETER;
    slot = tokens[++i].text;
  }
  return MCI_OK;
}

uint32_t parseStatus(const std::vector<Token>& tokens, Command& out) {
  std::string item = joinLower(tokens, 2);
  if (item.empty()) return MCIERR_MISSING_PARAMETER;
  if (item == "mode") {
    out.item = StatusItem::Mode;
  } else if (item == "current track") {
    out.item = StatusItem::CurrentTrack;
  } else if (item == "number of tracks") {
    out.item = StatusItem::NumberOfTracks;
  } else if (item == "position") {
    out.item = StatusItem::Position;
  } else if (item == "position track") {
    return MCIERR_MISSING_PARAMETER;
  } else if (tokens.size() == 5 && item.rfind("position track ", 0) == 0) {
    const std::string& number = tokens[4].text;
    // Nine digits keep the value inside an int; no disc has that many tracks.
    if (!allDigits(number) || number.size() > 9) return MCIERR_BAD_INTEGER;
    out.item = StatusItem::Position;
    out.track = std::stoi(number);
  } else {
    return MCIERR_UNRECOGNIZED_KEYWORD;
  }
  return MCI_OK;
}

uint32_t parseSet(const std::vector<Token>& tokens, Command& out) {
  std::string rest = joinLower(tokens, 2);
  if (rest.empty() || rest == "time format") return MCIERR_MISSING_PARAMETER;
  if (rest.rfind("time format ", 0) != 0) return MCIERR_UNRECOGNIZED_KEYWORD;
  std::string format = rest.substr(12);
  if (format == "tmsf") {
    out.timeFormat = TimeFormat::Tmsf;
  } else if (format == "msf") {
    out.timeFormat = TimeFormat::Msf;
  } else if (format == "milliseconds" || format == "ms") {
    out.timeFormat = TimeFormat::Milliseconds;
  } else {
    return MCIERR_BAD_TIME_FORMAT;
  }
  return MCI_OK;
}

}  // namespace

std::string asciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

uint32_t parseCommand(const std::string& text, Command& out) {
  out = Command();
  std::vector<Token> tokens;
  if (uint32_t code = tokenize(text, tokens)) return code;
  if (tokens.empty()) return MCIERR_MISSING_COMMAND_STRING;

  std::string verb = asciiLower(tokens[0].text);
  if (tokens[0].quoted) return MCIERR_UNRECOGNIZED_COMMAND;
  if (verb == "open") {
    out.verb = Verb::Open;
  } else if (verb == "close") {
    out.verb = Verb::Close;
  } else if (verb == "play") {
    out.verb = Verb::Play;
  } else if (verb == "stop") {
    out.verb = Verb::Stop;
  } else if (verb == "status") {
    out.verb = Verb::Status;
  } else if (verb == "set") {
    out.verb = Verb::Set;
  } else {
    return MCIERR_UNRECOGNIZED_COMMAND;
  }

  if (tokens.size() < 2) return MCIERR_MISSING_DEVICE_NAME;
  // Only the element of open may be quoted; a quoted word anywhere else is
  // never taken as a command word.
  for (size_t i = 1; i < tokens.size(); ++i) {
    if (!tokens[i].quoted || (out.verb == Verb::Open && i == 1)) continue;
    return i == 1 ? MCIERR_INVALID_DEVICE_NAME : MCIERR_UNRECOGNIZED_KEYWORD;
  }
  out.device = tokens[1].text;
  if (out.device.empty()) return MCIERR_MISSING_DEVICE_NAME;

  switch (out.verb) {
    case Verb::Open:
      return parseOpen(tokens, out);
    case Verb::Play:
      return parsePlay(tokens, out);
    case Verb::Status:
      return parseStatus(tokens, out);
    case Verb::Set:
      return parseSet(tokens, out);
    case Verb::Close:
    case Verb::Stop:
      return tokens.size() > 2 ? MCIERR_UNRECOGNIZED_KEYWORD : MCI_OK;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}

}  // namespace platform::mci
