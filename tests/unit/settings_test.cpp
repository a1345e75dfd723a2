// The settings engine on real files: round trips, hand-written files, atomic replacement.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "fakes.h"
#include "settings/ini_document.h"
#include "settings/ini_file.h"
#include "tests/support/temp_dir.h"

namespace promptella {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

class SettingsFile : public ::testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path path = dir / "Promptella.ini";
  InlineWorker atOnce;  // saves each change as it is made
  IniFile ini{path, atOnce};
};

// A change that cannot be saved at all is given up and told, once until a save succeeds again.
TEST_F(SettingsFile, AChangeThatCannotBeSavedIsGivenUpAndToldOnce) {
  IniFile nowhere{dir / "gone" / "Promptella.ini", atOnce};
  std::vector<std::string> told;
  nowhere.onFailed = [&](const std::string& what, Replaced why) {
    told.push_back(what + (why == Replaced::failed ? ", failed" : ", denied"));
  };
  nowhere.writeValue(setting::storedCommand(2), "dir");
  nowhere.addToList(setting::history(), "ver", kHistoryLimit);
  EXPECT_EQ(told, std::vector<std::string>{"stored command #3, failed"});
  EXPECT_EQ(nowhere.readValue(setting::storedCommand(2)), "dir");  // until the program ends
  std::filesystem::create_directories(dir / "gone");
  nowhere.addToList(setting::history(), "ver", kHistoryLimit);
  std::filesystem::remove_all(dir / "gone");
  nowhere.writeValue(setting::folder(), "C:\\");
  EXPECT_EQ(told.size(), 2u);
}

// A change is kept at once and saved when the worker gets to it, in order; reads
// come from memory meanwhile, and another copy's change comes into view with a refresh.
TEST_F(SettingsFile, AWorkerSavesTheChangesLaterAndReadsComeFromMemory) {
  testing::ManualWorker manual;
  IniFile later{path, manual};
  later.writeValue(setting::folder(), "C:\\A");
  later.addToList(setting::history(), "dir", kHistoryLimit);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(later.readValue(setting::folder()), "C:\\A");
  manual.settle();
  EXPECT_EQ(testing::settingsAt(path).readValue(setting::folder()), "C:\\A");
  EXPECT_EQ(testing::settingsAt(path).readList(setting::history()),
            std::vector<std::string>{"dir"});
  testing::settingsAt(path).writeValue(setting::storedCommand(1), "tree");
  EXPECT_FALSE(later.readValue(setting::storedCommand(1)));
  const Later<bool> refreshed = later.refresh();
  EXPECT_FALSE(refreshed.given());
  manual.settle();
  EXPECT_TRUE(refreshed.given());
  EXPECT_EQ(later.readValue(setting::storedCommand(1)), "tree");
}

// What a run could not save before it ended is kept, each change with what it replaced: the next
// start saves it only where the file still holds that, adds up what several copies kept, removes
// a file only once its changes are in, and sets aside whole a file it cannot read whole.
TEST_F(SettingsFile, KeptChangesNeverUndoANewerOneAddUpAndGoOnlyOnceSaved) {
  ini.writeValue(setting::storedCommand(2), "echo first");
  testing::ManualWorker heldA, heldB;  // another program holds the file: nothing is saved
  IniFile a{path, heldA}, b{path, heldB};
  a.writeValue(setting::storedCommand(2), "echo old-value");
  b.addToList(setting::history(), "dir", kHistoryLimit);
  b.writeValue(setting::folder(), "C:\\B");
  ASSERT_TRUE(a.keepPendingForNextStart());
  ASSERT_TRUE(b.keepPendingForNextStart());
  ini.writeValue(setting::storedCommand(2), "echo new-value");  // a third copy, once free
  const auto keptFiles = [&] { return keptChangesFiles(path).size(); };
  ASSERT_EQ(keptFiles(), 2u);

  // The next start: nothing goes before the changes are in the file; a kill then loses nothing.
  {
    testing::ManualWorker killed;
    IniFile next{path, killed};
    EXPECT_TRUE(next.saveKeptChanges().empty());
    EXPECT_EQ(keptFiles(), 2u);
  }
  testing::ManualWorker worker;
  IniFile next{path, worker};
  EXPECT_TRUE(next.saveKeptChanges().empty());
  worker.settle();
  EXPECT_EQ(keptFiles(), 0u);
  EXPECT_EQ(testing::settingsAt(path).readValue(setting::storedCommand(2)), "echo new-value")
      << "the newer one stands";
  EXPECT_EQ(testing::settingsAt(path).readValue(setting::folder()), "C:\\B");
  EXPECT_EQ(testing::settingsAt(path).readList(setting::history()),
            std::vector<std::string>{"dir"});

  // Kept again and replayed twice (a kill after the save, before the removal): nothing more.
  testing::ManualWorker held;
  IniFile c{path, held};
  c.addToList(setting::history(), "ver", kHistoryLimit);
  c.removeValue(setting::storedCommand(2));
  ASSERT_TRUE(c.keepPendingForNextStart());
  const auto kept = keptChangesFiles(path).at(0);
  const std::string keptBytes = readBytes(kept);
  for (int replay = 0; replay < 2; ++replay) {
    writeBytes(kept, keptBytes);
    EXPECT_TRUE(testing::settingsAt(path).saveKeptChanges().empty());
    EXPECT_EQ(testing::settingsAt(path).readList(setting::history()),
              (std::vector<std::string>{"ver", "dir"}));
    EXPECT_FALSE(testing::settingsAt(path).readValue(setting::storedCommand(2)));
  }

  // A file cut short, or with a field missing (a list without its limit), is set aside whole.
  const std::string cut = keptBytes.substr(0, keptBytes.size() * 2 / 3);
  const std::string noLimit =
      "[Change0]\r\nKind=3\r\nSection=Commands\r\nWhat=the history\r\nValue=lost\r\n";
  for (const auto& [name, bytes] : {std::pair{path.string() + ".7.pending", cut},
                                    std::pair{path.string() + ".pending", noLimit}}) {
    writeBytes(name, bytes);
    EXPECT_EQ(testing::settingsAt(path).saveKeptChanges(), std::vector<std::string>{name});
    EXPECT_EQ(readBytes(name + ".bad"), bytes);
    EXPECT_FALSE(std::filesystem::exists(name));
    EXPECT_EQ(testing::settingsAt(path).readList(setting::history()).size(), 2u)
        << "none of it used";
  }
}

TEST_F(SettingsFile, MissingFileReadsAsAbsentAndDeletesDoNotCreateIt) {
  EXPECT_FALSE(ini.readValue(setting::folder()));
  ini.removeValue(setting::storedCommand(0));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SettingsFile, FirstWriteCreatesFileWithSectionAndKeyInCrLf) {
  ini.writeValue(setting::folder(), "C:\\Temp");
  EXPECT_EQ(readBytes(path), "[Configuration]\r\nPath=C:\\Temp\r\n");
  EXPECT_EQ(ini.readValue(setting::folder()), "C:\\Temp");
}

TEST_F(SettingsFile, WritesReplaceAddAndKeepOtherSections) {
  ini.writeValue(setting::folder(), "C:\\A");
  ini.writeValue(setting::storedCommand(4), "dir");
  ini.writeValue(setting::folder(), "C:\\B");
  ini.writeValue(setting::storedCommand(5), "ver");
  EXPECT_EQ(readBytes(path),
            "[Configuration]\r\nPath=C:\\B\r\n\r\n[StoredCommands]\r\nCommand4=dir\r\n"
            "Command5=ver\r\n");
}

TEST_F(SettingsFile, DeleteKey) {
  ini.writeValue({"Commands", "Command0"}, "a");
  ini.writeValue({"Commands", "Command1"}, "b");
  ini.writeValue(setting::storedCommand(3), "c");
  ini.removeValue({"Commands", "Command0"});
  EXPECT_FALSE(ini.readValue({"Commands", "Command0"}));
  EXPECT_EQ(ini.readValue({"Commands", "Command1"}), "b");
  ini.removeValue({"Commands", "Command1"});
  EXPECT_FALSE(ini.readValue({"Commands", "Command1"}));
  EXPECT_EQ(readBytes(path), "[Commands]\r\n\r\n[StoredCommands]\r\nCommand3=c\r\n");
}

TEST_F(SettingsFile, LongValuesComeBackWhole) {
  const std::string command(300, 'x');
  const std::string huge = std::string(70000, 'y') + "z";
  ini.writeValue(setting::storedCommand(0), command);
  ini.writeValue(setting::storedCommand(1), huge);
  EXPECT_EQ(ini.readValue(setting::storedCommand(0)), command);
  EXPECT_EQ(ini.readValue(setting::storedCommand(1)), huge);
}

TEST_F(SettingsFile, BlanksAndQuotesSurviveTheRoundTrip) {
  for (const std::string value : {"  dir  ", "\tx", "\"C:\\Program Files\\x\\a.exe\"", "'quoted'",
                                  "\"", "\"\"", "a\"b\"", "\"open", "echo \"hi\"", " \"both\" "}) {
    ini.writeValue(setting::storedCommand(1), value);
    EXPECT_EQ(ini.readValue(setting::storedCommand(1)), value) << "[" << value << "]";
  }
  EXPECT_EQ(IniDocument::encodeValue("\"a.exe\""), "\"\"a.exe\"\"");
  EXPECT_EQ(IniDocument::encodeValue("plain text"), "plain text");
}

TEST_F(SettingsFile, LineBreaksInValuesCannotCreateKeysOrSections) {
  ini.writeValue(setting::storedCommand(2), "dir\r\n[Configuration]\r\nPath=C:\\evil\nCommand3=x");
  EXPECT_FALSE(ini.readValue(setting::folder()));
  EXPECT_FALSE(ini.readValue(setting::storedCommand(3)));
  EXPECT_EQ(ini.readValue(setting::storedCommand(2)),
            "dir  [Configuration]  Path=C:\\evil Command3=x");
  ini.writeValue({"Sec\r\n[tion]", "Key\n=x"}, "v");
  EXPECT_EQ(ini.readValue({"Sec[tion", "Keyx"}), "v");
}

TEST_F(SettingsFile, ALoneCarriageReturnStaysInsideItsLine) {
  // Found by fuzzing: a CR not followed by LF ends no line, so it belongs to the value; written
  // back, it becomes a space like any line break.
  writeBytes(path, "[StoredCommands]\r\nCommand0=dir /\raCmd\nCommand1=x\r\n");
  EXPECT_EQ(ini.readValue(setting::storedCommand(0)), "dir /\raCmd");
  EXPECT_EQ(ini.readValue(setting::storedCommand(1)), "x");
  ini.writeValue(setting::storedCommand(0), *ini.readValue(setting::storedCommand(0)));
  EXPECT_EQ(ini.readValue(setting::storedCommand(0)), "dir / aCmd");
  EXPECT_EQ(ini.readValue(setting::storedCommand(1)), "x");
}

TEST_F(SettingsFile, EmptyValueReadsAsAbsent) {
  writeBytes(path, "[StoredCommands]\r\nCommand3=\r\nCommand4=   \r\n");
  EXPECT_FALSE(ini.readValue(setting::storedCommand(3)));
  EXPECT_FALSE(ini.readValue(setting::storedCommand(4)));
}

TEST_F(SettingsFile, HandWrittenFilesReadAsTheSystemReadsThem) {
  writeBytes(path,
             "\xEF\xBB\xBF[configuration]\n"
             "  path  =   C:\\Temp   \n"
             "; Command0=commented\n"
             "a line without equals\n"
             "[ StoredCommands ]\r\n"
             "COMMAND0=dir /w\r\n"
             "Command1 = type caf\xE9.txt\r\n"
             "[Commands]\n"
             "Command0=first\n"
             "Command0=second\n"
             "[Commands]\n"
             "Command1=later section\n"
             "Command2=no final line end");
  EXPECT_EQ(ini.readValue(setting::folder()), "C:\\Temp");
  EXPECT_EQ(ini.readValue({"storedcommands", "command0"}), "dir /w");
  EXPECT_EQ(ini.readValue(setting::storedCommand(1)), "type caf\xC3\xA9.txt");
  EXPECT_FALSE(ini.readValue({"Configuration", "; Command0"}));
  EXPECT_EQ(ini.readValue({"Commands", "Command0"}), "first");
  EXPECT_EQ(ini.readValue({"Commands", "Command1"}), "later section");
  EXPECT_EQ(ini.readValue({"Commands", "Command2"}), "no final line end");
}

TEST_F(SettingsFile, EditsKeepHandWrittenLinesAndDropTheByteOrderMark) {
  writeBytes(path, "\xEF\xBB\xBF; my settings\n[Configuration]\nPath=C:\\\n\n[Other]\nx=1\n");
  ini.writeValue(setting::folder(), "C:\\Temp");
  ini.writeValue({"Configuration", "Extra"}, "1");
  EXPECT_EQ(
      readBytes(path),
      "; my settings\r\n[Configuration]\r\nPath=C:\\Temp\r\nExtra=1\r\n\r\n[Other]\r\nx=1\r\n");
}

// Editors save UTF-8 (Notepad without a byte-order mark): every letter is read as written, and the
// first change writes a form the system's profile functions read, ANSI where all of it fits.
TEST_F(SettingsFile, UTF8FilesFromEditorsReadWholeAndAreWrittenInAFormTheSystemReads) {
  const std::string wide = "echo caf\xC3\xA9 \xE6\x97\xA5";
  for (const std::string bom : {"\xEF\xBB\xBF", ""}) {
    writeBytes(path, bom + "[StoredCommands]\r\nCommand3=" + wide + "\r\n");
    EXPECT_EQ(testing::settingsAt(path).readValue(setting::storedCommand(3)), wide) << bom.size();
    ini.writeValue(setting::storedCommand(4), "ver");
    EXPECT_EQ(readBytes(path).substr(0, 2), "\xFF\xFE") << "not all of it fits ANSI: UTF-16";
    EXPECT_EQ(ini.readValue(setting::storedCommand(3)), wide) << bom.size();
    writeBytes(path, bom + "[StoredCommands]\r\nCommand3=type caf\xC3\xA9.txt\r\n");
    ini.writeValue(setting::storedCommand(4), "ver");
    EXPECT_EQ(readBytes(path), "[StoredCommands]\r\nCommand3=type caf\xE9.txt\r\nCommand4=ver\r\n");
  }
}

// A link to the settings file stays a link, its target written; temporary files of a change that
// was cut short go at start-up once old, never one that a copy may be writing.
TEST_F(SettingsFile, ALinkKeepsItsTargetAndLeftTemporaryFilesGo) {
  const auto target = dir / "real.ini";
  writeBytes(target, "[A]\r\nx=1\r\n");
  // Links need a privilege on Windows, and MinGW's library makes none there.
  std::error_code noLinks;
  std::filesystem::create_symlink(target, path, noLinks);
  if (!noLinks) {
    ini.writeValue({"A", "y"}, "2");
    EXPECT_TRUE(std::filesystem::is_symlink(path));
    EXPECT_EQ(readBytes(target), "[A]\r\nx=1\r\ny=2\r\n");
  }
  const std::string base = path.string();
  const std::string left[] = {base + ".41.0.tmp", base + ".42.7.tmp", base + ".notes.tmp"};
  for (const std::string& file : left) writeBytes(file, "x");
  for (const std::string& file : {left[0], left[2]}) {
    std::filesystem::last_write_time(
        file, std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5));
  }
  removeLeftTemporaryFiles(path);
  EXPECT_FALSE(std::filesystem::exists(left[0]));
  EXPECT_TRUE(std::filesystem::exists(left[1])) << "young: a copy may be writing it";
  EXPECT_TRUE(std::filesystem::exists(left[2])) << "not ours";
}

TEST_F(SettingsFile, DeletingASectionRemovesEveryCopyOfIt) {
  auto document =
      IniDocument::parse("[Commands]\nCommand0=a\n[Keep]\nk=v\n[COMMANDS]\nCommand1=b\n");
  EXPECT_TRUE(document.removeSection("Commands"));
  EXPECT_EQ(document.serialize(), "[Keep]\r\nk=v\r\n");
}

TEST_F(SettingsFile, TextIsStoredInTheAnsiCodePage) {
  ini.writeValue(setting::folder(),
                 "C:\\Donn\xC3\xA9"
                 "es\\\xE2\x82\xAC");
  EXPECT_EQ(readBytes(path),
            "[Configuration]\r\nPath=C:\\Donn\xE9"
            "es\\\x80\r\n");
  EXPECT_EQ(ini.readValue(setting::folder()),
            "C:\\Donn\xC3\xA9"
            "es\\\xE2\x82\xAC");
}

// While every value fits the ANSI code page the file keeps its bytes; a value that does not makes
// it UTF-16 LE with a byte-order mark, and every value, old and new, comes back exactly.
TEST_F(SettingsFile, ValuesOutsideTheAnsiCodePageMakeTheFileUnicode) {
  ini.writeValue(setting::folder(),
                 "C:\\Donn\xC3\xA9"
                 "es");
  ini.writeValue(setting::storedCommand(1), "  echo \"x\"  ");
  const std::string ansi = readBytes(path);
  ASSERT_EQ(ansi.substr(0, 15), "[Configuration]");
  const std::string values[] = {"echo \xE6\x97\xA5\xE6\x9C\xAC", "echo \xCE\xA9",
                                "C:\\\xCE\xA9mega", "\xF0\x9F\x98\x80 " + std::string(3000, 'x')};
  ini.addToList(setting::history(), values[1], kHistoryLimit);
  ini.addToList(setting::history(), values[0], kHistoryLimit);
  ini.writeValue(setting::storedCommand(2), values[3]);
  ini.writeValue(setting::folder(), values[2]);
  EXPECT_EQ(readBytes(path).substr(0, 4), std::string("\xFF\xFE[\0", 4));
  IniFile again{path, atOnce};
  EXPECT_EQ(again.readList(setting::history()), (std::vector<std::string>{values[0], values[1]}));
  EXPECT_EQ(again.readValue(setting::folder()), values[2]);
  EXPECT_EQ(again.readValue(setting::storedCommand(1)), "  echo \"x\"  ");
  EXPECT_EQ(again.readValue(setting::storedCommand(2)), values[3]);
  // A Unicode file stays Unicode, and deletes keep it so.
  again.removeValue(setting::storedCommand(2));
  EXPECT_EQ(readBytes(path).substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(testing::settingsAt(path).readValue(setting::storedCommand(1)), "  echo \"x\"  ");
}

TEST_F(SettingsFile, WritersInParallelLoseNoKey) {
  const auto writeKeys = [&](const std::string& prefix) {
    InlineWorker own;
    IniFile writer{path, own};
    for (int i = 0; i < 40; ++i) writer.writeValue({"Keys", prefix + std::to_string(i)}, "v");
  };
  std::thread first(writeKeys, "a"), second(writeKeys, "b");
  first.join();
  second.join();
  for (int i = 0; i < 40; ++i) {
    EXPECT_TRUE(ini.readValue({"Keys", "a" + std::to_string(i)})) << i;
    EXPECT_TRUE(ini.readValue({"Keys", "b" + std::to_string(i)})) << i;
  }
}

// Another copy's change, or another program's (in place, same size, the old time put back), comes
// into view with the next refresh, and with the next save, which starts from the file.
TEST_F(SettingsFile, AnotherWritersChangeIsSeenAtTheNextRefreshOrSave) {
  InlineWorker own;
  IniFile other{path, own};
  ini.writeValue(setting::folder(), "C:\\A");
  EXPECT_EQ(other.readValue(setting::folder()), "C:\\A");
  other.writeValue(setting::folder(), "C:\\B");
  EXPECT_EQ(ini.readValue(setting::folder()), "C:\\A");
  ini.writeValue(setting::storedCommand(1), "tree");
  EXPECT_EQ(ini.readValue(setting::folder()), "C:\\B");

  const auto old = std::filesystem::last_write_time(path) - std::chrono::hours(1);
  for (int i = 0; i < 20; ++i) {
    writeBytes(path, "[A]\r\nk=" + std::to_string(i % 10) + "\r\n");
    if (i % 2) std::filesystem::last_write_time(path, old);
    ASSERT_TRUE(ini.refresh().given());
    EXPECT_EQ(ini.readValue({"A", "k"}), std::to_string(i % 10));
  }
}

TEST_F(SettingsFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFiles) {
  const auto missingFolder = dir / "gone" / "Promptella.ini";
  IniFile nowhere{missingFolder, atOnce};
  nowhere.writeValue(setting::folder(), "C:\\");

  // A folder standing where the file should be: the rename fails, nothing else changes.
  std::filesystem::create_directories(dir / "blocked.ini" / "inside");
  IniFile blocked{dir / "blocked.ini", atOnce};
  blocked.writeValue(setting::folder(), "C:\\");
  ini.writeValue(setting::folder(), "C:\\Old");
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    files += entry.is_regular_file() ? 1 : 0;
  }
  EXPECT_EQ(files, 1u);
}

TEST_F(SettingsFile, ReadersNeverSeeATornFile) {
  ini.writeValue({"Commands", "Command0"}, std::string(5000, 'a'));
  std::atomic<bool> stop{false};
  std::atomic<int> reads{0}, torn{0};
  std::thread reader([&] {
    InlineWorker own;
    IniFile other{path, own};
    while (!stop) {
      static_cast<void>(other.refresh());
      const auto value = other.readValue({"Commands", "Command0"});
      ++reads;
      if (!value || (value->size() != 5000 && value->size() != 6000)) ++torn;
      std::this_thread::yield();  // a reader among others, not one that starves the writer
    }
  });
  for (int i = 0; i < 300; ++i) {
    ini.writeValue({"Commands", "Command0"}, std::string(i % 2 ? 5000 : 6000, 'b'));
  }
  stop = true;
  reader.join();
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(torn.load(), 0);
}

}  // namespace
}  // namespace promptella
