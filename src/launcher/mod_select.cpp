#include "launcher/mod_select.h"

#include "product.h"

namespace ModSelect {

std::wstring LanguageCode;

namespace {
constexpr int kNormalFocus = 1;
}  // namespace

Outcome RunSetup(forms::Runtime& rt, const std::wstring& code) {
    // The product's languages, tested in the description's order.
    for (const product::Language& row : product::kLanguages) {
        if (code != row.codeText) continue;
        const std::wstring menuFolder = rt.AppPath();
        // A folder at a drive's root ends in a backslash already.
        const bool endsInBackslash = !menuFolder.empty() && menuFolder.back() == L'\\';
        const std::wstring folder = menuFolder + (endsInBackslash ? L"" : L"\\") + row.folder;
        const std::wstring path = folder + L"\\" + row.program;
        const auto started = rt.Shell(path, kNormalFocus, folder);
        return started == forms::StartResult::Declined ? Outcome::Declined : Outcome::Started;
    }
    return Outcome::NoSetup;
}

}  // namespace ModSelect
