#pragma once
// Window classes and control ids of the SFU window and its piece prompt. Besides the core, the
// test driver that clicks through the window as a user would uses them.

namespace kvx::rejoin {

inline constexpr wchar_t kSfuWindowClass[] = L"KarvexSfuWindow";
inline constexpr wchar_t kPiecePromptClass[] = L"KarvexSfuPiecePrompt";

// The SFU window. Unite and Cancel take the dialog ids so that Enter and Escape reach them.
enum TSfuWindowControl {
  idUnite = 1,   // IDOK
  idCancel = 2,  // IDCANCEL
  idRestoreLabel = 100,
  idOutputPath,
  idBrowse,
  idProgress,
  idTextArea,
  idAbout,
};

// The piece prompt; OK and Cancel as above.
enum TPiecePromptControl {
  idPromptOk = 1,
  idPromptCancel = 2,
  idPromptPicture = 200,
  idPromptMessage,
  idPromptLabel,
  idPromptPath,
  idPromptBrowse,
};

}  // namespace kvx::rejoin
