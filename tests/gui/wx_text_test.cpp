// Text between the program's bytes and the widgets, the clipboard, the locale and the file
// dialogs' filters on the desktop backend.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include <wx/dcclient.h>

#include "WxTestFixture.h"

namespace veltrano::platform::wx::test {
namespace {

TEST_F(WxProgramTest, AnyByteSurvivesTheWidgetsAndTheClipboard) {
    const std::string bytes("A\x80\x00\x9d\xff"
                            "B",
                            6);
    ASSERT_EQ(form->ListAdd(Lsb(300), bytes), 0);
    EXPECT_EQ(form->ListText(Lsb(300), 0), bytes);
    EXPECT_EQ(List(300)->At(0)->shown, wxString(L"A\u20AC\u2400\u009D\u00FFB"));
    const int at = form->ComboAdd(Cmb(110), bytes, 42);
    EXPECT_EQ(form->ComboText(Cmb(110), at), bytes);
    EXPECT_EQ(form->ComboItemData(Cmb(110), at), 42);

    ASSERT_TRUE(form->ClipboardOpen());
    EXPECT_FALSE(form->ClipboardOpen()) << "already open";
    EXPECT_NE(form->LastErrorCode(), 0u);
    EXPECT_TRUE(form->ClipboardSetText("x\x80y\r\n"));
    form->ClipboardClose();
    ASSERT_TRUE(form->ClipboardOpen());
    EXPECT_EQ(form->ClipboardText(), "x\x80y\r\n");
    EXPECT_TRUE(form->ClipboardEmpty());
    EXPECT_EQ(form->ClipboardText(), std::nullopt);
    form->ClipboardClose();
}

// Every name of the shipped data file can be read whole: its box shows it whole, or the
// box's tool tip holds it. Every row of a column has the same width and the same names.
TEST_F(WxProgramTest, EveryNameFitsItsBoxOrIsItsToolTip) {
    int names = 0, cut = 0;
    for (int index : {200, 230, 250, 110}) {
        auto* box = dynamic_cast<DropBox*>(form->Window(Cmb(index)));
        ASSERT_NE(box, nullptr);
        if (index == 110) form->ComboAdd(Cmb(110), "Pd A stored matrix with a long name", 0);
        wxClientDC dc(box);
        dc.SetFont(box->GetFont());
        for (int p = 0; p < form->ComboCount(Cmb(index)); ++p) {
            form->ComboSetCurSel(Cmb(index), p);
            const wxString shown = box->ShownText();
            ++names;
            if (dc.GetTextExtent(shown).x <= box->TextRoom()) {
                EXPECT_EQ(box->GetToolTipText(), wxString()) << "cmb " << index << ": " << shown;
            } else {
                ++cut;
                EXPECT_EQ(box->GetToolTipText(), shown) << "cmb " << index << " cuts its name";
            }
        }
        form->ComboSetCurSel(Cmb(index), -1);
        EXPECT_EQ(box->GetToolTipText(), wxString()) << "cmb " << index << " shows no name";
    }
    EXPECT_GT(names, 200) << "the data file's names are in the boxes";
    EXPECT_GT(cut, 0) << "some names are wider than their boxes";
}

TEST(WindowsTextTest, EveryByteRoundTrips) {
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const wxString w = ToWx(one);
        ASSERT_EQ(w.length(), 1u) << b;
        EXPECT_EQ(FromWx(w), one) << b;
    }
    EXPECT_EQ(ToWx("\x80"), wxString(L"\u20AC"));
    EXPECT_EQ(ToWx(std::string(1, '\0')), wxString(L"\u2400"));
    EXPECT_EQ(ToWx("\x9f\xe9"), wxString(L"\u0178\u00E9"));
    EXPECT_EQ(FromWx(wxString(L"\u20AC\u2019\u0152")), "\x80\x92\x8c");
    EXPECT_EQ(FromWx(wxString(L"\u4E2D\u0080")), "??") << "characters Windows-1252 lacks";
    EXPECT_EQ(Printable(ToWx("a\tb\n")), wxString(L"a\u2409b\u240A"));
    EXPECT_EQ(MessageText("one\rtwo\r\nthree"), "one\ntwo\nthree");
}

TEST(EnvironmentTest, LanguageComesFromTheLocale) {
    WxForm form;
    auto languageOf = [&](const char* lcAll, const char* lang) {
        setenv("LC_ALL", lcAll, 1);
        unsetenv("LC_MESSAGES");
        setenv("LANG", lang, 1);
        return form.UserLanguageId();
    };
    EXPECT_EQ(languageOf("nl_NL.UTF-8", ""), 0x0413);
    EXPECT_EQ(languageOf("", "nl_BE.UTF-8@euro"), 0x0813) << "LANG when LC_ALL is empty";
    EXPECT_EQ(languageOf("nl", ""), 0x0413);
    EXPECT_EQ(languageOf("de_AT.UTF-8", "nl_NL.UTF-8"), 0x0C07) << "LC_ALL before LANG";
    EXPECT_EQ(languageOf("C", ""), 0x0409);
    EXPECT_EQ(languageOf("", ""), 0x0409);
    unsetenv("LC_ALL");
    unsetenv("LANG");
}

TEST(FileDialogTest, FiltersBecomeWildcards) {
    EXPECT_EQ(FileDialogWildcard("Matrix Collection File (*.mtx)|*.mtx|All (*.*)|*.*"),
              "Matrix Collection File (*.mtx)|*.mtx|All (*.*)|*");
    EXPECT_EQ(FileDialogWildcard("Banks|*.an1; *.ans|Dangling"), "Banks|*.an1;*.ans");
    EXPECT_EQ(FileDialogWildcard(""), "All files|*");
}

TEST(PathTextTest, FileSystemBytesRoundTrip) {
    const std::string utf8 = "/tmp/caf\xc3\xa9/bank.an1";
    EXPECT_EQ(PathToWx(utf8), wxString(L"/tmp/caf\u00E9/bank.an1"));
    EXPECT_EQ(PathFromWx(PathToWx(utf8)), utf8);
    const std::string notUtf8 = "/tmp/caf\xe9.an1";
    EXPECT_EQ(PathFromWx(PathToWx(notUtf8)), notUtf8);
}

// F1 and the web page: what xdg-open answers is what the editor is told, so that a file type
// nothing opens gets the editor's message instead of silence.
TEST(ShellOpenTest, TheAnswerIsXdgOpensExitCode) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("veltrano-xdg-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string help = (dir / "Veltrano Help.html").string();
    std::ofstream(help) << "<html></html>";
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "";
    setenv("PATH", (dir.string() + ":" + savedPath).c_str(), 1);
    struct Case {
        const char* opener; // the body of the stand-in xdg-open
        std::string target;
        bool opened;
    };
    const std::vector<Case> cases = {
        {"exit 0", help, true},
        {"exit 3", help, false},                               // no program for this type of file
        {"exit 4", "https://veltrano.example.org/en/", false}, // no browser
        {"exit 0", "https://veltrano.example.org/en/", true},
        {"sleep 20", help, true}, // the program opened in the foreground
        {"exit 0", (dir / "missing.html").string(), false},
    };
    WxForm form;
    for (const auto& c : cases) {
        const auto said = dir / "said";
        std::filesystem::remove(said);
        std::ofstream(dir / "xdg-open")
            << "#!/bin/sh\nprintf %s \"$1\" >'" << said.string() << "'\n"
            << c.opener << "\n";
        std::filesystem::permissions(dir / "xdg-open", std::filesystem::perms::owner_all);
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(form.ShellOpen(c.target), c.opened) << c.opener << " " << c.target;
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10)) << c.opener;
        std::ifstream in(said);
        const std::string given((std::istreambuf_iterator<char>(in)), {});
        if (std::filesystem::exists(c.target) || c.target.rfind("https:", 0) == 0) {
            EXPECT_EQ(given, c.target);
        }
    }
    setenv("PATH", savedPath.c_str(), 1);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace veltrano::platform::wx::test
