// What loads from the real registry (under Wine): every value against its
// bounds and default, the curve-count range, and data of any type and size.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/saver_settings.h"

namespace {
const char *kKey = "Software\\Quorvel\\GyrelSaver";
std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char *>(&value), 4); }

std::string Dump(const SaverSettings &s) {
  return " DrawSpeed=" + std::to_string(s.DrawSpeed) + " MinGyrels=" + std::to_string(s.MinGyrels) +
         " MaxGyrels=" + std::to_string(s.MaxGyrels) +
         " MaxBrightness=" + std::to_string(s.MaxBrightness) +
         " PointsPerCycle=" + std::to_string(s.PointsPerCycle) + " Red=" + std::to_string(s.Red) +
         " Blue=" + std::to_string(s.Blue) +
         " ChangeFrequency=" + std::to_string(s.ChangeFrequency) +
         " RefreshPause=" + std::to_string(s.RefreshPause) +
         " PauseTicks=" + std::to_string(s.PauseTicks) +
         " UseFixedFrequency=" + std::to_string(s.UseFixedFrequency) +
         " ChangeBackground=" + std::to_string(s.ChangeBackground) +
         " PictureOnEachMonitor=" + std::to_string(s.PictureOnEachMonitor) +
         " HelpFile=" + s.HelpFile + " ";
}
} // namespace

TEST(Registry, WhatLoads) {
  const std::string p260 = "C:\\" + std::string(257, 'p'), p261 = p260 + "q";
  struct Value {
    const char *name;
    DWORD type;
    std::string data;
  };
  struct Case {
    std::vector<Value> stored;
    std::string loaded; // "Name=value" items that must all appear
  };
  const Case cases[] = {
      {{},
       "DrawSpeed=1 MinGyrels=3 MaxGyrels=5 MaxBrightness=128 PointsPerCycle=200 Red=100 "
       "ChangeFrequency=1000 RefreshPause=4 PauseTicks=200 UseFixedFrequency=0 "
       "ChangeBackground=1 PictureOnEachMonitor=0 HelpFile=C:\\Program "
       "Files\\GyrelSaver\\GyrelSaver.chm"},
      {{{"DrawSpeed", REG_DWORD, Dword(501)},
        {"MaxBrightness", REG_DWORD, Dword(256)},
        {"PointsPerCycle", REG_DWORD, Dword(801)},
        {"Red", REG_DWORD, Dword(101)},
        {"ChangeFrequency", REG_DWORD, Dword(0)},
        {"RefreshPause", REG_DWORD, Dword(11)},
        {"Blue", REG_DWORD, Dword(0xFFFFFFFF)}},
       "DrawSpeed=1 MaxBrightness=128 PointsPerCycle=200 Red=100 ChangeFrequency=1000 "
       "RefreshPause=4 Blue=100"},
      {{{"DrawSpeed", REG_DWORD, Dword(500)},
        {"MaxBrightness", REG_DWORD, Dword(0)},
        {"PointsPerCycle", REG_DWORD, Dword(0)},
        {"RefreshPause", REG_DWORD, Dword(10)},
        {"ChangeFrequency", REG_DWORD, Dword(1)}},
       "DrawSpeed=500 MaxBrightness=0 PointsPerCycle=0 PauseTicks=1 ChangeFrequency=1"},
      {{{"DrawSpeed", REG_DWORD, Dword(3)}, {"RefreshPause", REG_DWORD, Dword(1)}},
       "PauseTicks=16"},
      {{{"UseFixedFrequency", REG_DWORD, Dword(2)}, {"ChangeBackground", REG_DWORD, Dword(2)}},
       "UseFixedFrequency=0 ChangeBackground=1"},
      {{{"UseFixedFrequency", REG_DWORD, Dword(1)},
        {"ChangeBackground", REG_DWORD, Dword(0)},
        {"PictureOnEachMonitor", REG_DWORD, Dword(1)}},
       "UseFixedFrequency=1 ChangeBackground=0 PictureOnEachMonitor=1"},
      {{{"PictureOnEachMonitor", REG_DWORD, Dword(2)}}, "PictureOnEachMonitor=0"},
      // Curve counts: 0 is a picture of the gradient alone; the range stays ordered.
      {{{"MinGyrels", REG_DWORD, Dword(0)}, {"MaxGyrels", REG_DWORD, Dword(0)}},
       "MinGyrels=0 MaxGyrels=0"},
      {{{"MinGyrels", REG_DWORD, Dword(4)}, {"MaxGyrels", REG_DWORD, Dword(3)}},
       "MinGyrels=4 MaxGyrels=5"},
      {{{"MinGyrels", REG_DWORD, Dword(8)}}, "MinGyrels=8 MaxGyrels=8"},
      {{{"MinGyrels", REG_DWORD, Dword(21)}, {"MaxGyrels", REG_DWORD, Dword(21)}},
       "MinGyrels=3 MaxGyrels=5"},
      // Data of other types and sizes: exactly four bytes make a number.
      {{{"DrawSpeed", REG_BINARY, Dword(9)}}, "DrawSpeed=9"},
      {{{"DrawSpeed", REG_SZ, std::string("7\0", 2)}}, "DrawSpeed=1"},
      {{{"DrawSpeed", REG_QWORD, Dword(9) + Dword(0)}}, "DrawSpeed=1"},
      {{{"DrawSpeed", REG_BINARY, ""}}, "DrawSpeed=1"},
      {{{"HelpFile", REG_SZ, p260 + '\0'}}, "HelpFile=" + p260 + " "},
      {{{"HelpFile", REG_SZ, p261 + '\0'}}, "HelpFile=C:\\Program Files"},
      {{{"HelpFile", REG_BINARY, p261}}, "HelpFile=C:\\Program Files"}, // no terminator
      {{{"HelpFile", REG_BINARY, "abc"}}, "HelpFile=abc "},             // ends at the bytes read
  };
  for (const Case &c : cases) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    for (const Value &v : c.stored)
      RegSetKeyValueA(HKEY_CURRENT_USER, kKey, v.name, v.type, v.data.data(), DWORD(v.data.size()));
    SaverSettings s;
    s.Load();
    const std::string dump = Dump(s);
    std::size_t from = 0;
    while (from < c.loaded.size()) {
      std::size_t end = c.loaded.find(' ', c.loaded.find('=', from));
      end = end == std::string::npos ? c.loaded.size() : end;
      EXPECT_NE(dump.find(" " + c.loaded.substr(from, end - from)), std::string::npos)
          << c.loaded.substr(from, end - from) << " in" << dump;
      from = end + 1;
    }
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  SaverSettings().Load();
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS)
      << "loading never creates the key";
}

TEST(Registry, SaveWritesEveryValueOrReportsARefusal) {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
  SaverSettings edited;
  edited.HelpFile = "D:\\Help\\Gyrel.chm";
  edited.SetDrawSpeed(37);
  edited.MinGyrels = 0;
  edited.MaxGyrels = 19;
  edited.UseFixedFrequency = true;
  EXPECT_TRUE(edited.Save());
  SaverSettings loaded;
  loaded.Load();
  EXPECT_EQ(Dump(loaded), Dump(edited));
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
  HKEY parent; // below a volatile key no lasting key can be made
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quorvel", 0, nullptr, REG_OPTION_VOLATILE,
                  KEY_ALL_ACCESS, nullptr, &parent, nullptr);
  RegCloseKey(parent);
  EXPECT_FALSE(edited.Save());
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
}
