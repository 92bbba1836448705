// The administrative template against the settings' bounds table: each setting's two policies
// with its value name and bounds, a spin box at its default, and every text the template names.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "settings/saver_settings.h"

namespace {
std::string Read(const char *path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}
std::string Between(const std::string &text, const std::string &open, const char *close) {
  const std::size_t at = text.find(open);
  return at == std::string::npos ? "" : text.substr(at, text.find(close, at) - at);
}
} // namespace

TEST(PolicyTemplate, EverySettingTwiceWithItsBounds) {
  const std::string admx = Read(GYREL_SOURCE_DIR "/policy/GyrelSaver.admx");
  const std::string adml = Read(GYREL_SOURCE_DIR "/policy/en-US/GyrelSaver.adml");
  EXPECT_NE(admx.find("prefix=\"gyrel\" namespace=\"Quorvel.Policies.GyrelSaver\""),
            std::string::npos);
  for (const SettingBounds &b : kSettingBounds) {
    const std::string name = b.name, bounds = "\" minValue=\"" + std::to_string(b.lower) +
                                              "\" maxValue=\"" + std::to_string(b.upper) + "\"";
    for (const auto &[suffix, key, category] :
         {std::tuple("", kPolicyKeyPath, "GyrelSaver\""),
          std::tuple("_Recommended", kRecommendedKeyPath, "GyrelSaverRecommended\"")}) {
      const std::string policy =
          Between(admx, "<policy name=\"" + name + suffix + "\"", "</policy>");
      ASSERT_NE(policy.find("class=\"Both\""), std::string::npos) << name << suffix;
      EXPECT_NE(policy.find(std::string("key=\"") + key + "\""), std::string::npos)
          << name << suffix;
      EXPECT_NE(policy.find(std::string("<parentCategory ref=\"") + category), std::string::npos);
      EXPECT_TRUE(b.upper != 1 || policy.find("valueName=\"" + name + "\">") != std::string::npos)
          << name; // on or off
      EXPECT_NE(policy.find(b.upper == 1
                                ? "<enabledValue>\n        <decimal value=\"1\" />\n"
                                  "      </enabledValue>\n      <disabledValue>\n"
                                  "        <decimal value=\"0\" />"
                                : "<decimal id=\"" + name + "\" valueName=\"" + name + bounds),
                std::string::npos)
          << name << suffix;
    }
    // A number's presentation has a spin box for it, starting at the default.
    EXPECT_TRUE(b.upper == 1 ||
                Between(adml, "<presentation id=\"" + name + "\">", "</presentation>")
                        .find("<decimalTextBox refId=\"" + name + "\" defaultValue=\"" +
                              std::to_string(b.fallback) + "\"") != std::string::npos)
        << name;
  }
  // Every text and presentation the template names is in the language file.
  int named = 0;
  for (std::size_t at = admx.find("$("); at != std::string::npos; at = admx.find("$(", at + 1)) {
    const std::size_t dot = admx.find('.', at), end = admx.find(')', at);
    const std::string kind = admx.substr(at + 2, dot - at - 2),
                      id = admx.substr(dot + 1, end - dot - 1);
    EXPECT_NE(adml.find("<" + kind + " id=\"" + id + "\""), std::string::npos) << id;
    ++named;
  }
  EXPECT_GT(named, 4 * kSettingCount);
}
