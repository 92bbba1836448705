// The administrative template against the settings' own bounds table: each
// setting has a mandatory and a recommended policy with its value name and
// bounds, every text and presentation the template names is in its
// language file, and every number has a spin box holding its default.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "settings/saver_settings.h"

namespace {
std::string Read(const std::string &path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}
std::string Attribute(const std::string &element, const std::string &name) {
  const std::size_t at = element.find(" " + name + "=\""), from = at + name.size() + 3;
  return at == std::string::npos ? "" : element.substr(from, element.find('"', from) - from);
}
// The texts from each `open` to the `close` after it.
std::vector<std::string> Elements(const std::string &text, const std::string &open,
                                  const std::string &close) {
  std::vector<std::string> found;
  for (std::size_t at = text.find(open); at != std::string::npos; at = text.find(open, at + 1))
    found.push_back(text.substr(at, text.find(close, at) + close.size() - at));
  return found;
}
} // namespace

TEST(PolicyTemplate, EverySettingTwiceWithItsBounds) {
  const std::string admx = Read(GYREL_SOURCE_DIR "/policy/GyrelSaver.admx");
  const std::string adml = Read(GYREL_SOURCE_DIR "/policy/en-US/GyrelSaver.adml");
  ASSERT_FALSE(admx.empty());
  ASSERT_FALSE(adml.empty());
  EXPECT_NE(admx.find("namespace=\"Quorvel.Policies.GyrelSaver\""), std::string::npos);
  EXPECT_NE(admx.find("prefix=\"gyrel\""), std::string::npos);
  // Each policy as "key|value name" -> its text.
  std::map<std::string, std::string> policies;
  for (const std::string &text : Elements(admx, "<policy ", "</policy>")) {
    const std::string head = text.substr(0, text.find('>'));
    std::string value = Attribute(head, "valueName");
    if (value.empty()) value = Attribute(text.substr(text.find("<decimal ")), "valueName");
    policies[Attribute(head, "key") + "|" + value] = text;
  }
  EXPECT_EQ(policies.size(), 2u * kSettingCount);
  for (const SettingBounds &b : kSettingBounds)
    for (const char *key : {kPolicyKeyPath, kRecommendedKeyPath}) {
      const std::string &text = policies[std::string(key) + "|" + b.name];
      ASSERT_FALSE(text.empty()) << b.name << " under " << key;
      EXPECT_EQ(Attribute(text, "class"), "Both") << b.name;
      EXPECT_NE(text.find(std::strcmp(key, kPolicyKeyPath) ? "ref=\"GyrelSaverRecommended\""
                                                           : "ref=\"GyrelSaver\""),
                std::string::npos)
          << b.name << " under " << key;
      if (b.upper == 1) { // on or off
        EXPECT_NE(text.find("<enabledValue>\n        <decimal value=\"1\" />"), std::string::npos);
        EXPECT_NE(text.find("<disabledValue>\n        <decimal value=\"0\" />"), std::string::npos);
        continue;
      }
      const std::string decimal = text.substr(text.find("<decimal "));
      EXPECT_EQ(Attribute(decimal, "minValue"), std::to_string(b.lower)) << b.name;
      EXPECT_EQ(Attribute(decimal, "maxValue"), std::to_string(b.upper)) << b.name;
      // Its presentation has a spin box for it, starting at the default.
      const std::string presentation = Attribute(text, "presentation");
      const std::string id = presentation.substr(15, presentation.size() - 16);
      const std::size_t at = adml.find("<presentation id=\"" + id + "\">");
      ASSERT_NE(at, std::string::npos) << id;
      const std::string box = Elements(adml.substr(at), "<decimalTextBox ", ">").at(0);
      EXPECT_LT(adml.find("<decimalTextBox ", at), adml.find("</presentation>", at)) << id;
      EXPECT_EQ(Attribute(box, "refId"), Attribute(decimal, "id")) << id;
      EXPECT_EQ(Attribute(box, "defaultValue"), std::to_string(b.fallback)) << id;
    }
  // Every text and presentation the template names is in the language file.
  std::set<std::string> missing;
  int named = 0;
  for (const std::string &reference : Elements(admx, "$(", ")")) {
    const std::size_t dot = reference.find('.');
    const std::string kind = reference.substr(2, dot - 2),
                      id = reference.substr(dot + 1, reference.size() - dot - 2);
    ++named;
    if (adml.find("<" + kind + " id=\"" + id + "\"") == std::string::npos) missing.insert(id);
  }
  EXPECT_GT(named, 4 * kSettingCount);
  EXPECT_TRUE(missing.empty()) << *missing.begin();
}
