// The whole program, started through its entry point on the headless back end,
// with a folder of songs to open.
#pragma once

#include "resources/resource.h"
#include "tests/support/temp_files.h"
#include "winlayer/core/window.h"
#include "winlayer/headless/session.h"
#include "winlayer/include/win32_constants.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class Program : public ::testing::Test {
  protected:
    TempDir dir;
    winlayer::headless::Session session;
    HWND main = nullptr;

    void SetUp() override {
        session.Start();
        main = session.Find("Quorwin ");
        ASSERT_NE(main, nullptr);
    }

    std::string Path(const std::string& name) const { return dir.file(name); }

    // Writes a song with a record holding these texts (genre 7).
    void Song(const std::string& name, const std::string& title, const std::string& artist = "A",
              const std::string& album = "B", const std::string& year = "1999",
              const std::string& comment = "C") {
        WriteBytes(Path(name), Concat(Audio(600, static_cast<unsigned>(name.size())),
                                      MakeRecord(title, artist, album, year, comment, 7)));
    }

    // "Open Mp3...", choosing these names in the test folder.
    void Open(const std::vector<std::string>& names) {
        session.Click(main, IDC_OPEN);
        ASSERT_TRUE(session.FileDialogOpen());
        ASSERT_TRUE(session.AcceptFileDialog(dir.path(), names));
        ASSERT_FALSE(session.FileDialogOpen());
    }

    std::vector<std::string> Entries() { return session.Entries(main, IDC_FILE_LIST); }

    // The five texts the fields show.
    std::vector<std::string> Fields() {
        std::vector<std::string> texts;
        for (int id = IDC_TITLE; id <= IDC_COMMENT; ++id) {
            texts.push_back(session.Text(main, id));
        }
        return texts;
    }

    void SetFields(const std::vector<std::string>& texts) {
        for (int id = IDC_TITLE; id <= IDC_COMMENT; ++id) {
            session.Replace(main, id, texts[static_cast<size_t>(id - IDC_TITLE)]);
        }
    }
};
