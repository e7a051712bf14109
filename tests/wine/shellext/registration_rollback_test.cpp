// A registration that fails half-way leaves no keys of the handler behind. (Registration that
// succeeds is checked through regsvr32, as an installer runs it: registration_test.sh.)
#include "harness.h"

#include <olectl.h>

namespace kvx::test {
namespace {

constexpr char kClassKey[] = "CLSID\\{B46C1E0F-F61D-4B19-BC55-B68D8BB3CAFE}";
constexpr char kShellexKey[] = "*\\shellex";
constexpr char kApprovedKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
constexpr char kApprovalName[] = "{B46C1E0F-F61D-4B19-BC55-B68D8BB3CAFE}";

bool KeyExists(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool ApprovalExists() {
  return RegGetValueA(HKEY_LOCAL_MACHINE, kApprovedKey, kApprovalName, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

using RegistrationTest = ShellExtensionTest;

TEST_F(RegistrationTest, FailureUndoesWhatWasWrittenAndReportsIt) {
  const TShellExtension& library = ShellExtension();
  ASSERT_EQ(library.unregisterServer(), S_OK);
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kApprovedKey, kApprovalName);
  // A volatile "*\shellex" cannot take the lasting subkey of the fifth step, so registration
  // fails after writing the class keys.
  HKEY shellex = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kShellexKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &shellex, &disposition),
            ERROR_SUCCESS);
  RegCloseKey(shellex);
  ASSERT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY)) << "another handler keeps *\\shellex";

  EXPECT_EQ(library.registerServer(), SELFREG_E_CLASS);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kShellexKey));
  EXPECT_FALSE(ApprovalExists()) << "the steps after the failed one do not run";

  RegDeleteKeyA(HKEY_CLASSES_ROOT, kShellexKey);
}

}  // namespace
}  // namespace kvx::test
