#pragma once
// The file and folder choosers of the main program: titles, filters ("text|pattern|..."),
// default extensions.
namespace kvx {

struct TFileChooser {
  const char* Title;
  const char* Filter;
  const char* DefaultExtension;  // empty: none
};

constexpr TFileChooser kSourceChooser = {"Select File to Split",
                                         "All Files (*.*)|*.*|Self-Extracting Archives (*.exe)|*.exe|Zip Archives "
                                         "(*.zip)|*.zip",
                                         ""};
constexpr TFileChooser kIconChooser = {"Load Icon File", "Icon Files (*.ico)|*.ico|All Files (*.*)|*.*", ""};
constexpr TFileChooser kBitmapChooser = {"Select Bitmap File", "Bitmap Files (*.bmp)|*.bmp|All Files (*.*)|*.*", ""};
constexpr TFileChooser kExecutableChooser = {"Select Executable",
                                             "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*", ""};
constexpr TFileChooser kLanguageChooser = {"Select Language for SFU",
                                           "Karvex Language Files (*.kxl)|*.kxl|All Files (*.*)|*.*", "*.kxl"};
constexpr TFileChooser kOpenProfileChooser = {"Open Profile",
                                              "Karvex Profile File (*.kxc)|*.kxc|All Files (*.*)|*.*", "*.kxc"};
constexpr TFileChooser kSaveProfileChooser = {"Save Profile",
                                              "Karvex Profile File (*.kxc)|*.kxc|All Files (*.*)|*.*", "kxc"};
constexpr TFileChooser kBatchChooser = {"Load Batch Text File",
                                        "Karvex Batch Text Files (*.txt)|*.txt|All Files (*.*)|*.*", "*.txt"};
constexpr TFileChooser kFileListChooser = {"Select File(s) to Split",
                                           "All Files (*.*)|*.*|Self-Extracting Archives (*.exe)|*.exe|Zip "
                                           "Archives (*.zip)|*.zip",
                                           ""};
constexpr TFileChooser kSkinChooser = {"Select Skin File", "Karvex Skin Files (*.skn)|*.skn|All Files (*.*)|*.*",
                                       "*.skn"};

constexpr const char* kDestinationFolderPrompt =
    "Please select the folder where you would like to copy the piece files to:";
constexpr const char* kBundlorFolderPrompt = "Please select the folder where Bundlor is installed:";

}  // namespace kvx
