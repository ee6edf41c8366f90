// The interpreter's device names, aliases and reply-buffer rules, with
// made-up devices.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/mci/interpreter.h"
#include "platform/mci/mci.h"

using namespace platform::mci;

namespace {

struct Calls {
  std::vector<std::string> log;
};

class FakeDevice : public Device {
 public:
  FakeDevice(Calls& calls, std::string name) : calls_(calls), name_(std::move(name)) {}
  ~FakeDevice() override { calls_.log.push_back(name_ + " closed"); }
  uint32_t play(const std::optional<std::string>& from, const std::optional<std::string>& to) override {
    calls_.log.push_back(name_ + " play " + from.value_or("-") + " " + to.value_or("-"));
    return 0;
  }
  uint32_t stop() override {
    calls_.log.push_back(name_ + " stop");
    return 0;
  }
  uint32_t status(StatusItem, std::optional<int>, std::string& reply) override {
    reply = "playing";
    return 0;
  }
  uint32_t setTimeFormat(TimeFormat) override { return 0; }

 private:
  Calls& calls_;
  std::string name_;
};

class FakeFactory : public DeviceFactory {
 public:
  explicit FakeFactory(Calls& calls) : calls_(calls) {}
  uint32_t openCdAudio(std::unique_ptr<Device>& out) override {
    calls_.log.push_back("open cd");
    if (cdCode) return cdCode;
    out = std::make_unique<FakeDevice>(calls_, "cd");
    return 0;
  }
  uint32_t openMpegVideo(const std::string& path, std::unique_ptr<Device>& out) override {
    calls_.log.push_back("open file " + path);
    if (fileCode) return fileCode;
    out = std::make_unique<FakeDevice>(calls_, "file");
    return 0;
  }
  uint32_t cdCode = 0;
  uint32_t fileCode = 0;

 private:
  Calls& calls_;
};

class InterpreterTest : public ::testing::Test {
 protected:
  uint32_t send(const std::string& command) { return interpreter.send(command.c_str(), nullptr, 0); }

  Calls calls;
  FakeFactory factory{calls};
  Interpreter interpreter{factory};
};

TEST_F(InterpreterTest, OpenByNameOrAliasAndAddressInAnyCase) {
  ASSERT_EQ(send("open cdaudio"), 0u);
  ASSERT_EQ(send("open \"/music/My Song.mp3\" type MPEGVideo Alias MP3Play"), 0u);
  EXPECT_EQ(send("play CDAUDIO"), 0u);
  EXPECT_EQ(send("play mp3play from 0"), 0u);
  EXPECT_EQ(send("close MP3Play"), 0u);
  EXPECT_EQ(send("stop MP3Play"), platform::MCIERR_INVALID_DEVICE_NAME);
  EXPECT_EQ(calls.log, (std::vector<std::string>{"open cd", "open file /music/My Song.mp3",
                                                 "cd play - -", "file play 0 -", "file stop",
                                                 "file closed"}));
}

TEST_F(InterpreterTest, OpenRules) {
  struct Case {
    const char* text;
    uint32_t code;
  };
  ASSERT_EQ(send("open cdaudio"), 0u);
  ASSERT_EQ(send("open a.mp3 type MPEGVideo alias Music"), 0u);
  const Case cases[] = {
      {"open cdaudio", platform::MCIERR_DEVICE_OPEN},
      {"open b.mp3 type MPEGVideo alias MUSIC", platform::MCIERR_DUPLICATE_ALIAS},
      {"open b.mp3", platform::MCIERR_EXTENSION_NOT_FOUND},
      {"open b.wav type waveaudio", platform::MCIERR_CANNOT_LOAD_DRIVER},
      {"open b.mp3 type cdaudio", platform::MCIERR_INVALID_DEVICE_NAME},
      {"status nothing mode", platform::MCIERR_INVALID_DEVICE_NAME},
  };
  for (const Case& c : cases) EXPECT_EQ(send(c.text), c.code) << c.text;
  EXPECT_EQ(calls.log.size(), 2u);  // none of these reached the factory
}

TEST_F(InterpreterTest, FailedOpenLeavesNoDevice) {
  factory.fileCode = platform::MCIERR_FILE_NOT_FOUND;
  EXPECT_EQ(send("open \"/gone.mp3\" type MPEGVideo Alias MP3Play"), platform::MCIERR_FILE_NOT_FOUND);
  EXPECT_EQ(send("play MP3Play"), platform::MCIERR_INVALID_DEVICE_NAME);
  factory.cdCode = platform::MCIERR_HARDWARE;
  EXPECT_EQ(send("open cdaudio"), platform::MCIERR_HARDWARE);
  EXPECT_EQ(send("status cdaudio current track"), platform::MCIERR_INVALID_DEVICE_NAME);
}

TEST_F(InterpreterTest, ReplyBufferRules) {
  ASSERT_EQ(send("open cdaudio"), 0u);
  char buffer[16];

  std::strcpy(buffer, "untouched");
  EXPECT_EQ(interpreter.send("status cdaudio mode", buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "playing");

  // Exactly enough room for the text and its zero byte.
  std::strcpy(buffer, "untouched");
  EXPECT_EQ(interpreter.send("status cdaudio mode", buffer, 8), 0u);
  EXPECT_STREQ(buffer, "playing");

  std::strcpy(buffer, "untouched");
  EXPECT_EQ(interpreter.send("status cdaudio mode", buffer, 7), platform::MCIERR_PARAM_OVERFLOW);
  EXPECT_STREQ(buffer, "untouched");

  // Failures leave the buffer as it was (the music module relies on it).
  EXPECT_EQ(interpreter.send("status MP3Play mode", buffer, sizeof buffer),
            platform::MCIERR_INVALID_DEVICE_NAME);
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(interpreter.send("status cdaudio", buffer, sizeof buffer), platform::MCIERR_MISSING_PARAMETER);
  EXPECT_STREQ(buffer, "untouched");

  // A command with no reply empties the buffer.
  EXPECT_EQ(interpreter.send("stop cdaudio", buffer, sizeof buffer), 0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(interpreter.send(nullptr, buffer, sizeof buffer), platform::MCIERR_MISSING_COMMAND_STRING);
}

TEST(MciErrorText, KnownCodesHaveTextsCutToTheBuffer) {
  char text[256];
  EXPECT_TRUE(platform::mciGetErrorString(platform::MCIERR_INVALID_DEVICE_NAME, text, sizeof text));
  EXPECT_GT(std::strlen(text), 10u);
  char small[8];
  EXPECT_TRUE(platform::mciGetErrorString(platform::MCIERR_FILE_NOT_FOUND, small, sizeof small));
  EXPECT_EQ(std::strlen(small), 7u);
  std::strcpy(text, "kept");
  EXPECT_FALSE(platform::mciGetErrorString(12345, text, sizeof text));
  EXPECT_STREQ(text, "kept");
  EXPECT_FALSE(platform::mciGetErrorString(platform::MCIERR_FILE_NOT_FOUND, nullptr, 10));
}

}  // namespace
