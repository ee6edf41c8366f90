#include "platform/text/code_page_rules.h"

namespace platform {

bool codePageTakesNoFlags(unsigned codePage) {
  switch (codePage) {
    case 42:  // symbol
    case 50220: case 50221: case 50222: case 50225: case 50227: case 50229:  // ISO-2022
    case kCodePageUtf7:
      return true;
    default:
      return codePage >= 57002 && codePage <= 57011;  // ISCII
  }
}

WideToBytesCall strictWideToBytes(unsigned codePage) {
  WideToBytesCall call;
  if (codePage == kCodePageUtf8) {
    // Every character has a UTF-8 form; only a lone surrogate has none.
    call.flags = kWcErrInvalidChars;
  } else if (codePage == 54936) {
    call.flags = kWcErrInvalidChars;
    call.roundTrip = true;
  } else if (codePageTakesNoFlags(codePage)) {
    call.roundTrip = true;
  } else {
    call.flags = kWcNoBestFitChars;
    call.askUsedDefault = true;
  }
  return call;
}

unsigned long strictBytesToWideFlags(unsigned codePage) {
  return codePageTakesNoFlags(codePage) ? 0 : kMbErrInvalidChars;
}

}  // namespace platform
