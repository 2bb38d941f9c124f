#pragma once
// The Program: one run of Veltrano. It owns the program-wide state as named parts (the open
// document with its text library and voice bank, the matrix panel, the stored matrices, the
// search state) and implements the event handlers, which turn controls into calls of the
// rules in the model and results back into controls. It talks to the screen only through
// the platform::Form it is given, so a test starts from a fresh Program on a fresh form.
//
// The handlers and operations are defined in the folder of their subsystem:
//   shell/     start-up, main window, styling, menu, window events
//   commands/  message hook, command dispatcher, voice directories and files, collections
//   matrix/    matrix panel, voice list, transfers, stored matrices, categories
//   search/    search and replace
//   report/    voice name report
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "matrix/MatrixPanel.h"
#include "matrix/StoredMatrices.h"
#include "platform/Form.h"
#include "search/SearchState.h"
#include "shell/Document.h"
#include "textfile/DataTables.h"
#include "textfile/Notice.h"
#include "voice/Voice.h"

namespace veltrano {

using platform::ControlRef;
using platform::MenuHandle;

// The application title: window caption and the help document's name.
inline constexpr const char* kAppTitle = "Veltrano";
inline constexpr std::int32_t kCommandIdBase = 500;

// Control indices with a role of their own.
namespace ctl {
inline constexpr int kVoiceList = 100;     // lsb
inline constexpr int kFileList = 300;      // lsb
inline constexpr int kHeaderCtrl = 10;     // lbl
inline constexpr int kHeaderParam = 11;    // lbl
inline constexpr int kHeaderDepth = 12;    // lbl
inline constexpr int kSearchMarker = 13;   // lbl
inline constexpr int kMultiSelect = 331;   // chk
inline constexpr int kWrite = 334;         // chk
inline constexpr int kMatrixToVoice = 332; // opt
inline constexpr int kVoiceToMatrix = 333; // opt
inline constexpr int kAll = 335;           // cmd
inline constexpr int kStore = 16;          // cmd
inline constexpr int kPicture = 340;       // img
inline constexpr int kStoreList = 110;     // cmb
inline constexpr int kCtrlBox = 200;       // cmb 200..215
inline constexpr int kParamBox = 230;      // cmb 230..245
inline constexpr int kDepthBox = 250;      // cmb 250..265
inline constexpr int kRowLabel = 270;      // lbl 270..285
inline constexpr int kDialog = 50;         // cd
} // namespace ctl

// Menu commands.
namespace cmd {
inline constexpr int kSelectAnsDirectory = 502;
inline constexpr int kSelectAn1Directory = 503;
inline constexpr int kOpenMatrixCollection = 504;
inline constexpr int kSaveMatrixCollection = 507;
inline constexpr int kSearchController = 509;
inline constexpr int kSearchParameter = 510;
inline constexpr int kReplaceController = 511;
inline constexpr int kReplaceParameter = 512;
inline constexpr int kCopySelectedVoices = 513;
inline constexpr int kVoiceNameReport = 515;
inline constexpr int kShowHelp = 517;
inline constexpr int kOpenWebPage = 518;
inline constexpr int kSaveVoiceFileAs = 520;
inline constexpr int kUndo = 521;
inline constexpr int kRedo = 522;
} // namespace cmd

// Colours the program uses.
namespace colour {
inline constexpr platform::Color kFace = platform::Rgb(3, 3, 3);
inline constexpr platform::Color kYellow = platform::Rgb(255, 255, 0);
inline constexpr platform::Color kGrey = platform::Rgb(128, 128, 128);
inline constexpr platform::Color kBlack = platform::Rgb(0, 0, 0);
inline constexpr platform::Color kArmed = platform::Rgb(0, 153, 0);
inline constexpr platform::Color kReplaceStep = platform::Rgb(255, 0, 0);
} // namespace colour

class Program : public platform::EventSink {
  public:
    explicit Program(platform::Form& form);

    platform::Form& form() { return form_; }

    // Start-up, then the event loop; returns the exit code.
    int Run();

    // --- event handlers ------------------------------------------------------------------
    void cmd_Click(int index) override;
    void chk_Click(int index) override;
    void lbl_Click(int index) override;
    void lsb_Click(int index) override;
    void lsb_MouseUp(int index, int button, int shift, int x, int y) override;
    void lsb_LostFocus(int index) override;
    void cmb_Click(int index) override;
    void Win_1_ReSize() override;
    void Win_1_Close(int& cancel) override;
    void Win_1_Message(std::int32_t hwnd, std::int32_t msg, std::int32_t wParam,
                       std::int32_t lParam) override;

    // --- what the handlers hand on to ---------------------------------------------------
    void FileListClicked();             // lsb 300
    void VoiceListClicked();            // lsb 100
    void MultiSelectClicked();          // chk 331
    void WriteClicked();                // chk 334
    void EditSlot(int index);           // cmb 200..215, 230..245, 250..265
    void HeaderClicked();               // lbl 10, 11
    void NumberedLabelClicked(int row); // lbl 270..285 (row 1..16)

    // --- start-up and main window --------------------------------------------------------
    void StartUp();
    void CreateMainWindow();
    void StyleWindows();
    void StyleControl(ControlRef ref);
    void PrepareFileBuffer();
    void ReleaseFileBuffer();
    std::int64_t LargestFileSize() const;

    // --- menu ----------------------------------------------------------------------------
    void BuildMainMenu();
    MenuHandle MenuFromText(const std::string& text);
    bool MenuOptionChecked(MenuHandle menu, std::int32_t id) const;
    int ToggleMenuOption(MenuHandle menu, std::int32_t id);
    void UncheckMenuOption(MenuHandle menu, std::int32_t id);

    // --- window events -------------------------------------------------------------------
    void ReleaseGlobalData();

    // --- commands ------------------------------------------------------------------------
    void RunCommand(std::int32_t id);
    void ResetSearchMode(MenuHandle menu, std::int32_t first, std::int32_t last);
    void SelectVoiceDirectory(std::int32_t id);
    void ArmSearchMode(std::int32_t id);
    void CopySelectedVoices();
    void ShowHelp();
    void OpenWebPage();

    // --- voice files ---------------------------------------------------------------------
    // The layout in force: from the menu options, read afresh every time.
    std::optional<voice::VoiceLayout> LayoutInForce() const;
    void ScanVoiceDirectory(voice::VoiceLayout layout, const std::string& directory);
    void FillFileList(int lsbIndex);
    bool LoadVoiceFile(int n);
    // The loaded voice file's bytes (empty without a file).
    std::string_view VoiceFileText() const;
    // The voice list's selected rows, in order.
    std::vector<int> SelectedVoices() const;

    // --- saving and the edit history ----------------------------------------------------
    // Every change to voice bytes: one batch, one step of the history.
    void ApplyEdit(const voice::EditBatch& batch);
    // True when the file was written; false when cancelled, failed or nothing is loaded.
    bool SaveVoiceFileAs();
    void UndoEdit();
    void RedoEdit();
    // The application title, then " - " and the loaded file's name, " *" while unsaved.
    void UpdateCaption();
    // Before unsaved voice data would be dropped: asks whether to save it first. True when
    // the caller may go on (no changes, "No", or saved); false when the save was cancelled
    // or failed, so nothing may be dropped.
    bool SaveChangesFirst();

    // --- matrix collection file ----------------------------------------------------------
    void OpenMatrixCollection();
    void SaveMatrixCollection();

    // --- voice name report ---------------------------------------------------------------
    void VoiceNameReport();
    void WriteVoiceNameReport(const std::string& path);

    // --- matrix panel --------------------------------------------------------------------
    void ShowMatrix();
    void FillVoiceList(std::string_view text);
    void RangeToggle(int shift);
    void InvertAllVoices();

    // --- transfers -----------------------------------------------------------------------
    void LoadVoiceMatrix(std::string_view text, int k);

    // --- stored matrices and categories ---------------------------------------------------
    void StoreMatrix();
    void RecallMatrix(int p);
    void FillStoreList();
    // The chosen category number, nothing when the chooser is closed without a choice.
    std::optional<int> CategoryMenu();
    void SetVoiceCategory();

    // --- search and replace --------------------------------------------------------------
    int SearchVoices(int mode, int value);

    // --- data tables ---------------------------------------------------------------------
    void LocateDataFile();
    void LoadTables(int n);
    // Fills a column's sixteen boxes with its names and sets the panel's initial values.
    void LoadSection(int column, const std::vector<textfile::TableEntry>& entries);

    // --- helpers for messages and dialogs ------------------------------------------------
    void Show(const Notice& notice);
    void Show(const Notices& notices);
    void Message(const std::string& title, const std::string& text, platform::Icon icon);
    std::optional<std::string> BrowseFolder(const std::string& title, const std::string& start);
    // Each dialog names itself: the title is set every time, the other properties are
    // remembered from the dialog before unless given.
    std::optional<std::string> OpenFileDialog(const std::string& title, const std::string& filter,
                                              const std::optional<std::string>& fileName);
    std::optional<std::string> SaveFileDialog(const std::string& title, const std::string& filter,
                                              const std::optional<std::string>& defExt,
                                              const std::optional<std::string>& fileName);
    std::string InputText(const std::string& prompt, const std::string& title,
                          const std::string& preset, bool* cancelled = nullptr);
    void CLIPCOPY(int format, const std::string& data);
    void ClearClipboard();
    bool ShellOpen(const std::string& target);
    std::string AddressListEntry(int n) const;

    // --- state: the named parts ------------------------------------------------------------
    Document doc;                       // text library and voice bank
    MatrixPanel panel;                  // work record and range anchor
    StoredMatrices stored;              // the stored matrices
    SearchState search;                 // LastSearchValue
    MenuHandle menu = 0;                // the menu bar, 0 when it could not be built
    std::int32_t LastMenuId = 0;        // last command item highlighted in the menu
    platform::CommonDialogProps dialog; // the common-dialog control's remembered properties
    std::optional<std::string> clipboardOwnText; // what this program last put on the clipboard
    bool closed = false;

    // Control references.
    static ControlRef lsb(int i) { return {platform::Array::lsb, i}; }
    static ControlRef lbl(int i) { return {platform::Array::lbl, i}; }
    static ControlRef chk(int i) { return {platform::Array::chk, i}; }
    static ControlRef opt(int i) { return {platform::Array::opt, i}; }
    static ControlRef cmdb(int i) { return {platform::Array::cmd, i}; }
    static ControlRef img(int i) { return {platform::Array::img, i}; }
    static ControlRef cmb(int i) { return {platform::Array::cmb, i}; }

  private:
    platform::Form& form_;
};

} // namespace veltrano
