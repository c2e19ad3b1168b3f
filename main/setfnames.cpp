#include <cctype>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "common/channels.hpp"
#include "common/fmtwrite.hpp"
#include "common/fnamext.hpp"
#include "common/freeread.hpp"
#include "common/messages.hpp"
#include "main/config.hpp"
#include "main/fnames.hpp"

namespace zorva::fnames {

namespace {

constexpr int IUOLD = 14;  // old-output check

// Places of the extensions used here in the extension table.
constexpr int KGDF = 1, KPOT = 2, KP2F = 3, KFRC = 8, KOUT = 9, KCFG = 10, KHST = 14;

// Damaged: the list holds a line too long for any name (its message is
// written).
enum class Found { Yes, No, NoFile, Damaged };

std::string trimmed(std::string_view s) {
    std::size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    std::size_t e = s.find_last_not_of(' ');
    return std::string(s.substr(b, e - b + 1));
}

bool same_ext(std::string_view tail, std::string_view ext) {
    if (tail.size() != ext.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != std::tolower(static_cast<unsigned char>(ext[i])))
            return false;
    return true;
}

// Search of the list file for a name with extension EXT, from the top.
Found search(int chan, bool listopen, std::string_view ext, std::string& var) {
    if (!listopen) return Found::NoFile;
    chan::rewind(chan);
    std::string name;
    int idot = 0, istat = 0;
    for (;;) {
        RDFNLINE(chan, name, idot, istat);
        if (istat == 1) return chan::line_too_long(chan) ? Found::Damaged : Found::No;
        if (idot > 0 && same_ext(std::string_view(name).substr(static_cast<std::size_t>(idot - 1)), ext)) {
            var = name;
            return Found::Yes;
        }
    }
}

// Asks for a missing name.  Returns false (message written) when the
// keyboard input has ended.
bool ask(int kbd, int scr, std::string_view listname, std::string_view prompt, std::string& var) {
    std::string head = fmt::ljust(listname, 20);
    head.insert(0, 1, ' ');
    head += "file cannot be opened or is incomplete;";
    chan::write_line(scr, "");
    chan::write_line(scr, head);
    chan::write_line(scr, "");
    chan::write_text(scr, fmt::rjust(prompt, 60));
    std::string answer;
    const int st = fread::read_line(kbd, answer);
    chan::write_line(scr, "");
    if (st != 0) {
        ERRMSG(" Keyboard input ended without an answer to: " + trimmed(prompt), 0);
        return false;
    }
    LJUST20(answer);
    var = answer;
    chan::write_line(scr, "");
    chan::write_line(scr, "");
    return true;
}

// True when NAME is no file that an output may replace: a directory, or
// one of the run's input files (compared as files, so that another spelling
// of the same file is caught too).
bool refused(const std::string& name, std::span<const std::string> inputs) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(name, ec)) return true;
    for (const std::string& in : inputs) {
        if (in.empty()) continue;
        if (in == name || fs::equivalent(in, name, ec)) return true;
    }
    return false;
}

// Asks for another name for the output file.  Returns false (message
// written) when the keyboard input has ended.  A blank answer is no file
// name: it is asked for again.
bool ask_new_name(int kbd, int scr, std::string& name) {
    std::string answer;
    for (;;) {
        chan::write_line(scr, "");
        chan::write_text(scr, " Enter new filename for output file:    ");
        if (fread::read_line(kbd, answer) != 0) {
            chan::write_line(scr, "");
            ERRMSG(" Keyboard input ended; old output file not overwritten: " + name, 0);
            return false;
        }
        LJUST20(answer);
        if (!answer.empty()) break;
    }
    name = answer;
    return true;
}

// Guards an output file that the run would create: while a file of that
// name exists, the user either agrees to overwrite it (it is deleted now)
// or gives another name.  A directory or an input file of the run (INPUTS)
// is never offered for overwriting: another name is asked for.  Returns
// false (message written) when the keyboard input has ended: the old file
// is then left alone.
bool check_old(int kbd, int scr, std::string& name, std::span<const std::string> inputs) {
    for (;;) {
        if (refused(name, inputs)) {
            chan::write_line(scr, "");
            chan::write_line(scr, "     " + name + " is a directory or an input file of this run;");
            chan::write_line(scr, "     it cannot take the output.");
            if (!ask_new_name(kbd, scr, name)) return false;
            continue;
        }
        if (chan::open(IUOLD, name, chan::Status::Old) != 0) return true;
        chan::write_line(scr, "");
        chan::write_line(scr, "     WARNING!");
        chan::write_line(scr, "");
        chan::write_line(scr, "     An old output file exists with the specified filename " + name);
        chan::write_line(scr, "     Options: overwrite old file or rename new file:");
        chan::write_line(scr, "");
        chan::write_text(scr, "     Overwrite old file?  (Y/N) :");
        std::string answer;
        if (fread::read_line(kbd, answer) != 0) {
            chan::close(IUOLD);
            chan::write_line(scr, "");
            ERRMSG(" Keyboard input ended; old output file not overwritten: " + name, 0);
            return false;
        }
        if (!answer.empty() && (answer[0] == 'Y' || answer[0] == 'y')) {
            chan::close(IUOLD, true);
            return true;
        }
        chan::close(IUOLD);
        if (!ask_new_name(kbd, scr, name)) return false;
    }
}

}  // namespace

void RDFNLINE(int CHAN, std::string& NAME, int& IDOT, int& ISTAT) {
    IDOT = 0;
    ISTAT = 0;
    std::string line;
    if (fread::read_line(CHAN, line) != 0) {
        NAME.clear();
        ISTAT = 1;
        return;
    }
    LJUST20(line);
    NAME = line;
    if (NAME.empty()) {
        ISTAT = 1;
        return;
    }
    std::size_t d = NAME.find('.');
    IDOT = d == std::string::npos ? 0 : static_cast<int>(d) + 1;
}

void SETFNAMES(int LISTCHAN, int KEYBOARD, int SCREEN, std::string_view LISTNAME,
               std::span<const std::string_view> EXTTABLE, int MODE, int& IERR) {
    IERR = 0;
    const bool listopen = chan::open(LISTCHAN, LISTNAME, chan::Status::Old) == 0;
    auto ext = [&](int k) { return EXTTABLE[static_cast<std::size_t>(k)]; };
    // Search, and ask when the list does not give the name.
    auto get = [&](int k, std::string& var, std::string_view prompt) {
        const Found f = search(LISTCHAN, listopen, ext(k), var);
        if (f == Found::Yes || f == Found::Damaged) return f == Found::Yes;
        return ask(KEYBOARD, SCREEN, LISTNAME, prompt, var);
    };
    auto fail = [&] {
        IERR = 1;
        chan::close(LISTCHAN);
    };

    if (MODE == -1) {
        switch (search(LISTCHAN, listopen, ext(KCFG), FILECFG)) {
        case Found::Yes:
            break;
        case Found::No:
            FILECFG = RUNFILES[6];
            break;
        case Found::Damaged:
            return fail();
        case Found::NoFile:
            if (!ask(KEYBOARD, SCREEN, LISTNAME, " Enter full name of configuration file (CFG): ", FILECFG))
                return fail();
            break;
        }
    } else if (MODE == 0) {
        if (!get(KPOT, FILEPOT, " Enter full name of potential control file (POT): ")) return fail();
        if (cfg::IALTPOT <= 1) {
            if (GDFNAME.size() < 1 && !GDFNAME.resize_keep(1)) {
                ERRMSG(" Insufficient memory to allocate GDFNAME array", 0);
                return fail();
            }
            if (!get(KGDF, GDFNAME(1), " Enter full name of geometric data file (GDF): ")) return fail();
        }
        FNAMEXT(FILEPOT, FILEP2F, ext(KP2F));
        // The force control file that the FORCE stage will read is an input
        // of the run too.
        std::string frc;
        if (search(LISTCHAN, listopen, ext(KFRC), frc) != Found::Yes) frc.clear();
        // The name the FORCE stage will find (empty: it will ask).
        FILEFRC = frc;
        const std::string inputs[] = {std::string(LISTNAME), FILECFG, FILEPOT,
                                      GDFNAME.size() >= 1 ? GDFNAME(1) : std::string(), frc};
        if (!check_old(KEYBOARD, SCREEN, FILEP2F, inputs)) return fail();
    } else if (MODE == 1) {
        if (!get(KPOT, FILEPOT, " Enter RUNID (name of POT or P2F data file): ")) return fail();
        if (!get(KFRC, FILEFRC, " Enter full name of force control file (FRC): ")) return fail();
        // The .p2f file is an input here.  When the POTEN stage of this run
        // has named it (the user may have renamed it at the overwrite
        // prompt), FORCE reads that file and no other.
        if (FILEP2F.empty()) FNAMEXT(FILEPOT, FILEP2F, ext(KP2F));
        FNAMEXT(FILEPOT, FILEOUT, ext(KOUT));
        std::vector<std::string> inputs = {std::string(LISTNAME), FILECFG, FILEPOT, FILEFRC, FILEP2F};
        for (int ib = 1; ib <= GDFNAME.extent(1); ++ib) inputs.push_back(GDFNAME(ib));
        if (!check_old(KEYBOARD, SCREEN, FILEOUT, inputs)) return fail();
        FNAMEXT(FILEOUT, FILEHST, ext(KHST));
    }
    chan::close(LISTCHAN);
}

}  // namespace zorva::fnames
