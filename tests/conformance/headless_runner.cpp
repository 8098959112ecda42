// Runs conformance scenarios through the real program on the headless back end and
// prints the state a user could read after every step, in the same form as the
// runner that drives the Windows program under Wine (see compare.py).
//   conformance_headless SCENARIO_FILE --page ROWS
#include "resources/resource.h"
#include "tests/conformance/script_names.h"
#include "winlayer/core/clipboard.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/input.h"
#include "winlayer/headless/session.h"
#include "winlayer/include/windows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

using winlayer::headless::Session;
namespace vk = winlayer::vk;

struct Scenario {
    std::string name;
    std::vector<std::string> steps;
};

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "conformance_headless: %s\n", message.c_str());
    std::exit(2);
}

std::vector<Scenario> Read(const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        Fail("cannot read " + path);
    }
    std::vector<Scenario> scenarios;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (line.rfind("scenario ", 0) == 0) {
            scenarios.push_back({line.substr(9), {}});
        } else if (scenarios.empty()) {
            Fail("a step before the first scenario: " + line);
        } else {
            scenarios.back().steps.push_back(line);
        }
    }
    return scenarios;
}

// Runs one scenario, printing a block after each step.
class Run {
  public:
    Run(const Scenario& scenario, int page) : scenario_(scenario), page_(page) {}

    void Go() {
        winlayer::SetClipboardText("");
        session_.Start();
        main_ = session_.Windows().empty() ? nullptr : session_.Windows().front();
        if (main_ == nullptr) {
            Fail("the program opened no window");
        }
        active_ = main_;
        const HWND list = session_.Control(main_, IDC_FILE_LIST);
        session_.Do([list, this] { winlayer::input::SetListPage(list, page_); });
        for (size_t n = 0; n < scenario_.steps.size(); ++n) {
            const size_t before = Abouts().size();
            Apply(scenario_.steps[n], n);
            Settle(before);
            Print(n, scenario_.steps[n]);
        }
    }

  private:
    const Scenario& scenario_;
    int page_;
    Session session_;
    HWND main_ = nullptr;
    HWND active_ = nullptr;
    std::string record_; // the line a "save" step prints

    static constexpr size_t kSongAudio = 200; // bytes of silence before the record

    // A song of silence with no record, named in several scripts, is listed, Save To
    // ALL is clicked, and the song's record is read: "record audio=same|changed
    // BYTES", what the song holds after its audio in hex, and whether the audio is
    // as it was. The song is removed.
    void Save(size_t step) {
        const std::filesystem::path song = std::filesystem::temp_directory_path() /
                                           ("quorwin-conformance-" + std::to_string(getpid()) +
                                            "-" + std::to_string(step) + " Łódź 日本.mp3");
        std::ofstream(song, std::ios::binary)
            .write(std::string(kSongAudio, '\0').data(), kSongAudio);
        const HWND main = main_;
        const std::string path = song.native();
        const HWND save = session_.Control(main_, IDC_SAVE_ALL);
        session_.Do([main, path, save] {
            SendDlgItemMessageA(main, IDC_FILE_LIST, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(path.c_str()));
            winlayer::input::Click(save);
        });
        active_ = main_;
        std::ifstream in(song, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        std::error_code ignored;
        std::filesystem::remove(song, ignored);
        const bool same = bytes.size() >= kSongAudio && bytes.find_first_not_of('\0') >= kSongAudio;
        record_ = std::string("record audio=") + (same ? "same " : "changed ");
        for (size_t i = same ? kSongAudio : 0; i < bytes.size(); ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(bytes[i]));
            record_ += hex;
        }
    }

    std::vector<HWND> Abouts() {
        std::vector<HWND> abouts = session_.Windows();
        std::erase(abouts, main_);
        return abouts;
    }

    // The active window after a step: a new window is active; when the active one
    // went, the newest that takes input is.
    void Settle(size_t aboutsBefore) {
        const std::vector<HWND> abouts = Abouts();
        const std::vector<HWND> all = session_.Windows();
        if (abouts.size() > aboutsBefore) {
            active_ = abouts.back();
        } else if (std::find(all.begin(), all.end(), active_) == all.end()) {
            active_ = nullptr;
            for (auto at = all.rbegin(); at != all.rend(); ++at) {
                if (winlayer::TakesInput(*at)) {
                    active_ = *at;
                    break;
                }
            }
        }
    }

    void Apply(const std::string& step, size_t n) {
        std::istringstream words(step);
        std::string verb;
        words >> verb;
        const std::string rest = step.size() > verb.size() + 1 ? step.substr(verb.size() + 1) : "";
        std::vector<std::string> args;
        for (std::string word; words >> word;) {
            args.push_back(word);
        }
        auto has = [&args](const char* flag) {
            return std::find(args.begin(), args.end(), flag) != args.end();
        };
        const HWND list = session_.Control(main_, IDC_FILE_LIST);
        const HWND active = active_;
        if (verb == "files") {
            const int count = args.empty() ? 0 : std::atoi(args[0].c_str());
            const int first = args.size() < 2 ? 0 : std::atoi(args[1].c_str());
            const HWND main = main_;
            session_.Do([main, count, first] {
                for (int k = first; k < first + count; ++k) {
                    const std::string name = conformance::EntryName(k);
                    SendDlgItemMessageA(main, IDC_FILE_LIST, LB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(name.c_str()));
                }
            });
        } else if (verb == "names") {
            const HWND main = main_;
            const std::vector<std::string> names = conformance::ListedNames(rest);
            session_.Do([main, names] {
                for (const std::string& name : names) {
                    SendDlgItemMessageA(main, IDC_FILE_LIST, LB_ADDSTRING, 0,
                                        reinterpret_cast<LPARAM>(name.c_str()));
                }
            });
        } else if (verb == "remove" && !args.empty()) {
            const int index = std::atoi(args[0].c_str());
            const HWND main = main_;
            session_.Do([main, index] {
                SendDlgItemMessageA(main, IDC_FILE_LIST, LB_DELETESTRING, index, 0);
            });
        } else if (verb == "redraw" && !args.empty()) {
            const WPARAM on = args[0] == "on" ? TRUE : FALSE;
            const HWND main = main_;
            session_.Do(
                [main, on] { SendDlgItemMessageA(main, IDC_FILE_LIST, WM_SETREDRAW, on, 0); });
        } else if (verb == "save") {
            Save(n);
        } else if (verb == "key" && !args.empty()) {
            const int code = conformance::KeyCode(args[0]);
            const UINT key = code < 0 ? 0 : static_cast<UINT>(code);
            if (key == 0) {
                Fail("unknown key in: " + step);
            }
            const bool ctrl = has("ctrl");
            const bool shift = has("shift");
            session_.Do([=] { winlayer::input::PressKey(active, key, ctrl, shift); });
        } else if (verb == "type") {
            session_.Do([=] { winlayer::input::TypeText(active, rest); });
        } else if (verb == "paste") {
            session_.Do([=] {
                winlayer::SetClipboardText(rest);
                winlayer::input::PressKey(active, 'V', true, false);
            });
        } else if (verb == "click" && !args.empty()) {
            HWND control = nullptr;
            if (args[0] == "OK") {
                const std::vector<HWND> abouts = Abouts();
                if (abouts.empty()) {
                    Fail("no About box to click OK in: " + step);
                }
                active_ = abouts.back();
                control = session_.Control(active_, IDOK);
            } else {
                const int id = conformance::Lookup(conformance::kControls, args[0]);
                control = id < 0 ? nullptr : session_.Control(main_, id);
                if (control == nullptr) {
                    Fail("unknown control in: " + step);
                }
                active_ = main_;
            }
            session_.Click(active_, winlayer::FindWindow(control)->id); // an edit past its text
        } else if ((verb == "row" || verb == "dblrow") && !args.empty()) {
            const int row = std::atoi(args[0].c_str());
            const bool ctrl = has("ctrl");
            const bool shift = has("shift");
            active_ = main_;
            if (verb == "row") {
                session_.Do([=] { winlayer::input::ClickListEntry(list, row, ctrl, shift); });
            } else {
                session_.Do([=] {
                    winlayer::input::ClickListEntry(list, row);
                    winlayer::input::DoubleClickListEntry(list, row);
                });
            }
        } else {
            Fail("unknown step: " + step);
        }
    }

    void Print(size_t n, const std::string& step) {
        std::ostringstream out;
        out << "step " << scenario_.name << " " << n << " " << step << "\n";
        if (active_ == nullptr) {
            out << "focus none\n";
        } else {
            const winlayer::Window* focused = winlayer::FindWindow(winlayer::FocusOf(active_));
            out << "focus " << (active_ == main_ ? "main:" : "about:")
                << (focused != nullptr ? focused->id : -1) << "\n";
        }
        out << "windows " << Abouts().size() << "\n";
        int defaultButton = 0;
        for (HWND child : winlayer::FindWindow(main_)->children) {
            const winlayer::Window* button = winlayer::FindWindow(child);
            if (button->kind == winlayer::ControlKind::PushButton &&
                (button->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                defaultButton = button->id;
            }
        }
        out << "default " << defaultButton << "\n";
        for (int id = IDC_TITLE; id <= IDC_COMMENT; ++id) {
            const winlayer::Window* edit = winlayer::FindControl(main_, id);
            const int a = std::min(edit->edit.selStart, edit->edit.selEnd);
            const int b = std::max(edit->edit.selStart, edit->edit.selEnd);
            out << "edit " << id << " text=" << winlayer::DisplayText(*edit) << " sel=" << a << ","
                << b << " enabled=" << (edit->enabled ? 1 : 0) << "\n";
        }
        for (int id = IDC_USE_TITLE; id <= IDC_USE_COMMENT; ++id) {
            const winlayer::Window* check = winlayer::FindControl(main_, id);
            out << "check " << id << " checked=" << (check->checked ? 1 : 0)
                << " enabled=" << (check->enabled ? 1 : 0) << "\n";
        }
        const winlayer::ListState& list = winlayer::FindControl(main_, IDC_FILE_LIST)->list;
        out << "list count=" << list.items.size() << " caret=" << list.caret
            << " anchor=" << list.anchor << " top=" << list.top << " sel=";
        const char* separator = "";
        for (size_t i = 0; i < list.selected.size(); ++i) {
            if (list.selected[i]) {
                out << separator << i;
                separator = ",";
            }
        }
        if (step.rfind("names ", 0) == 0) {
            out << "\nentries ";
            for (size_t i = 0; i < list.items.size(); ++i) {
                out << (i > 0 ? "|" : "") << list.items[i];
            }
        }
        if (!record_.empty()) {
            out << "\n" << record_;
            record_.clear();
        }
        std::cout << out.str() << "\n";
    }
};

} // namespace

int main(int argc, char** argv) {
    std::string path;
    int page = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--page" && i + 1 < argc) {
            page = std::atoi(argv[++i]);
        } else {
            path = arg;
        }
    }
    if (path.empty() || page < 1) {
        std::fprintf(stderr, "usage: conformance_headless SCENARIO_FILE --page ROWS\n");
        return 2;
    }
    const std::vector<Scenario> scenarios = Read(path);
    std::cout << "page " << page << "\n";
    for (const Scenario& scenario : scenarios) {
        Run(scenario, page).Go();
    }
    return 0;
}
