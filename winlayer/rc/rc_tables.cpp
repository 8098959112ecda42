#include "winlayer/rc/rc_script.h"

#include <sstream>

namespace rc {

namespace {

// Writes `entries` as the array `name` of `type`, asserted free of repeated numbers,
// and returns the array and its length as a table takes them.
std::string Array(std::ostream& out, const std::string& type, const std::string& name,
                  const std::vector<std::string>& entries, const std::string& failure) {
    if (entries.empty()) {
        return "nullptr, 0";
    }
    out << "constexpr " << type << " " << name << "[] = {\n";
    for (const std::string& entry : entries) {
        out << "    {" << entry << "},\n";
    }
    out << "};\nstatic_assert(rc::IdsUnique(" << name << "), \"" << failure << "\");\n\n";
    return name + ", " + std::to_string(entries.size());
}

} // namespace

std::string EmitTables(const Script& script,
                       const std::vector<std::vector<unsigned char>>& bitmapBytes) {
    std::ostringstream out;
    out << "// Generated from the program's resource script. Do not edit.\n";
    for (const std::string& include : script.includes) {
        out << "#include " << include << "\n";
    }
    out << "#include \"winlayer/core/resources.h\"\n#include \"winlayer/rc/table_checks.h\"\n\n"
        << "namespace {\n\nusing namespace winlayer;\n\n";
    std::vector<std::string> dialogs, bitmaps;
    for (const Dialog& d : script.dialogs) {
        dialogs.push_back(d.id + ", " + d.rect + ", " + d.style + d.implied + ", 0, \"" +
                          d.caption + "\", \"" + d.fontName + "\", " + d.fontPoints + ", " +
                          Array(out, "ControlTemplate",
                                "kControls" + std::to_string(dialogs.size()), d.controls,
                                d.id + " uses a control number twice"));
    }
    for (size_t i = 0; i < script.bitmaps.size(); ++i) {
        const std::string name = "kBitmap" + std::to_string(i);
        out << "const unsigned char " << name << "[] = {";
        for (size_t k = 0; k < bitmapBytes[i].size(); ++k) {
            out << (k % 24 == 0 ? "\n    " : "") << static_cast<int>(bitmapBytes[i][k]) << ",";
        }
        out << (bitmapBytes[i].empty() ? "0" : "") << "\n};\n\n";
        bitmaps.push_back(script.bitmaps[i].id + ", " + name + ", " +
                          std::to_string(bitmapBytes[i].size()));
    }
    const std::string dialogTable =
        Array(out, "DialogTemplate", "kDialogs", dialogs, "two dialogs have the same number");
    const std::string bitmapTable =
        Array(out, "BitmapResource", "kBitmaps", bitmaps, "two bitmaps have the same number");
    out << "const ResourceTable kTable = {" << dialogTable << ", " << bitmapTable << "};\n\n"
        << "} // namespace\n\n"
        << "const ResourceTable& winlayer::ProgramResources() { return kTable; }\n";
    return out.str();
}

} // namespace rc
