// Random user sessions through the program's real entry point: typing, clicking,
// switching, list clicks with and without Ctrl and Shift, double-clicks, opening
// files, saving, About boxes, Enter and Escape. After every action the list is in
// order and its caret on an entry or none; after every save each file holds exactly
// what the model of the record rules says: only switched-on fields change, and
// switched-off bytes and the genre stay.
//
// Input: one action a byte, each followed by the bytes it needs.
#include "editor/program.h"
#include "fuzz/fuzz_support.h"
#include "resources/resource.h"
#include "winlayer/core/common_dialogs.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/input.h"
#include "winlayer/core/keys.h"
#include "winlayer/core/list_order.h"
#include "winlayer/headless/scripted_user.h"

#include <cstdint>
#include <map>

namespace {

using model::Bytes;
namespace input = winlayer::input;

const char* const kNames[] = {"a.mp3", "B.mp3", "c.mp3", "d.mp3"};

// The songs each session starts from: with a record, without one, with an APE
// footer whose "TAG" falls on the record's place, and shorter than a record.
std::map<std::string, Bytes> FreshSongs() {
    Bytes audio(900);
    for (size_t i = 0; i < audio.size(); ++i) {
        audio[i] = static_cast<unsigned char>((i * 13 + 5) % 256 == 'T' ? 1 : (i * 13 + 5) % 256);
    }
    Bytes tagged = audio;
    const char record[] = "TAGSong\0\0\0";
    tagged.insert(tagged.end(), record, record + 10);
    tagged.resize(audio.size() + 128, 'r');
    tagged.back() = 42;
    Bytes ape = audio;
    const unsigned char footer[] = {'A', 'P', 'E',  'T', 'A', 'G', 'E', 'X', 0xD0, 0x07,
                                    0,   0,   0x60, 0,   0,   0,   1,   0,   0,    0};
    ape.insert(ape.end(), footer, footer + sizeof footer);
    ape.resize(audio.size() + 131, 0);
    std::map<std::string, Bytes> songs;
    songs[fuzz::ScratchFile(kNames[0])] = tagged;
    songs[fuzz::ScratchFile(kNames[1])] = audio;
    songs[fuzz::ScratchFile(kNames[2])] = ape;
    songs[fuzz::ScratchFile(kNames[3])] = Bytes(audio.begin(), audio.begin() + 50);
    return songs;
}

class Session {
  public:
    Session(const uint8_t* data, size_t size) : data_(data), size_(size) {
        files_ = FreshSongs();
        for (const auto& [path, bytes] : files_) {
            WriteBytes(path, bytes);
        }
    }

    bool Act() {
        if (!winlayer::OpenMessageBoxes().empty()) {
            sawMessageBox_ = true;
            FUZZ_CHECK(winlayer::OpenMessageBoxes().back()->text ==
                       "Please open some mp3's to edit");
            FUZZ_CHECK(winlayer::OpenMessageBoxes().back()->caption == "Error");
        }
        CheckList();
        if (at_ >= size_) {
            return false;
        }
        const uint8_t op = Next();
        if (!winlayer::OpenMessageBoxes().empty() && op % 2 == 0) {
            input::DismissMessageBox();
            return true;
        }
        if (winlayer::OpenFileDialog() != nullptr) {
            AnswerFileDialog(op);
            return true;
        }
        const HWND main = winlayer::headless::MainWindow();
        FUZZ_CHECK(main != nullptr);
        auto control = [main](int id) { return winlayer::FindControl(main, id)->handle; };
        switch (op % 16) {
        case 0:
            // A click in a field at some character, then a typed one.
            input::ClickEdit(control(IDC_TITLE + Next() % 5), Next() % 32);
            input::TypeText(main, std::string(1, static_cast<char>(Next() | 1)));
            break;
        case 1:
            input::PressKey(main, 'A', /*ctrl=*/true);
            break;
        case 2:
            input::PressKey(main, winlayer::vk::Back);
            break;
        case 3:
            input::Click(control(IDC_USE_TITLE + Next() % 5));
            break;
        case 4:
        case 5:
            Save(main, op % 16 == 5);
            break;
        case 6:
            input::Click(control(IDC_OPEN));
            break;
        case 7: {
            const uint8_t flags = Next();
            input::ClickListEntry(control(IDC_FILE_LIST), Next() % (Count(main) + 1), flags & 1,
                                  flags & 2);
            break;
        }
        case 8:
            input::ClickListEntry(control(IDC_FILE_LIST), Next() % (Count(main) + 1));
            input::DoubleClickListEntry(control(IDC_FILE_LIST), Next() % (Count(main) + 1));
            break;
        case 9: {
            // The list's keys, and the dialog's arrows and Tab from wherever the
            // focus is.
            static constexpr UINT kKeys[] = {
                winlayer::vk::Up,    winlayer::vk::Down, winlayer::vk::Home,  winlayer::vk::End,
                winlayer::vk::Prior, winlayer::vk::Next, winlayer::vk::Space, winlayer::vk::Tab};
            const uint8_t key = Next();
            if ((key & 32) == 0) {
                input::Focus(control(IDC_FILE_LIST));
            }
            input::PressKey(main, kKeys[key % 8], (key & 8) != 0, (key & 16) != 0);
            break;
        }
        case 10:
            input::Click(control(IDC_CLEAR_ALL));
            break;
        case 11:
            input::Click(control(IDC_ABOUT));
            break;
        case 12:
            input::PressKey(AnyWindow(), winlayer::vk::Return);
            break;
        case 13:
            input::PressKey(AnyWindow(), winlayer::vk::Escape);
            break;
        case 14: {
            const HWND window = AnyWindow();
            if (window != main || Next() % 16 == 0) {
                input::Close(window);
            }
            break;
        }
        default:
            if (const winlayer::Window* ok = winlayer::FindControl(AnyWindow(), IDOK)) {
                input::Click(ok->handle);
            }
            break;
        }
        return true;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    std::map<std::string, Bytes> files_; // what each file must hold
    bool sawMessageBox_ = false;

    uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

    static int Count(HWND main) {
        return static_cast<int>(winlayer::FindControl(main, IDC_FILE_LIST)->list.items.size());
    }

    HWND AnyWindow() {
        const std::vector<HWND> windows = winlayer::Dialogs();
        return windows[Next() % windows.size()];
    }

    void AnswerFileDialog(uint8_t op) {
        const uint8_t mask = op >> 4;
        std::vector<std::string> names;
        for (int i = 0; i < 4; ++i) {
            if (mask & (1 << i)) {
                names.push_back(kNames[i]);
            }
        }
        if (names.empty() || op % 16 == 15) {
            input::CancelFileDialog();
        } else {
            FUZZ_CHECK(input::AcceptFileDialog(fuzz::ScratchFolder(), names));
        }
    }

    // Presses a save button, first working out with the model what it must write.
    void Save(HWND main, bool selectedOnly) {
        const winlayer::Window* button =
            winlayer::FindControl(main, selectedOnly ? IDC_SAVE_SELECTED : IDC_SAVE_ALL);
        if (!winlayer::TakesInput(button->handle)) {
            input::Click(button->handle); // refused: nothing may change
            CheckFiles();
            return;
        }
        std::string texts[5];
        bool on[5];
        for (int f = 0; f < 5; ++f) {
            texts[f] = model::Captured(winlayer::FindControl(main, IDC_TITLE + f)->text, f);
            on[f] = winlayer::FindControl(main, IDC_USE_TITLE + f)->checked;
        }
        const winlayer::ListState& list = winlayer::FindControl(main, IDC_FILE_LIST)->list;
        const bool askForFiles = !selectedOnly && list.items.empty();
        for (size_t i = 0; i < list.items.size(); ++i) {
            if (!selectedOnly || list.selected[i]) {
                Bytes& file = files_[list.items[i]];
                file = model::Save(file, texts, on);
            }
        }
        sawMessageBox_ = false;
        input::Click(button->handle); // a message box runs its own loop inside this
        FUZZ_CHECK(sawMessageBox_ == askForFiles);
        CheckFiles();
    }

    void CheckFiles() {
        for (const auto& [path, expected] : files_) {
            FUZZ_CHECK(ReadBytes(path) == expected);
        }
    }

    void CheckList() {
        const HWND main = winlayer::headless::MainWindow();
        if (main == nullptr) {
            return;
        }
        const winlayer::ListState& list = winlayer::FindControl(main, IDC_FILE_LIST)->list;
        FUZZ_CHECK(list.selected.size() == list.items.size());
        FUZZ_CHECK(list.caret >= 0 &&
                   (list.items.empty() || list.caret < static_cast<int>(list.items.size())));
        for (size_t i = 1; i < list.items.size(); ++i) {
            FUZZ_CHECK(winlayer::CompareEntries(list.items[i - 1], list.items[i]) <= 0);
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Session session(data, size);
    FUZZ_CHECK(winlayer::headless::RunProgram([&session] { return session.Act(); }) == 0);
    return 0;
}
