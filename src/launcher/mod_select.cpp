#include "launcher/mod_select.h"

namespace ModSelect {

std::wstring LanguageCode;

namespace {

struct Row {
    const wchar_t* code;
    const wchar_t* afterBackslash;  // appended when the folder ends in a backslash
    const wchar_t* otherwise;
};

constexpr Row kLanguages[] = {
    {L"1", L"TradChin_link\\Setup.exe", L"\\TradChin_link\\Setup.exe"},
    {L"2", L"SimpChin_link\\Setup.exe", L"\\SimpChin_link\\Setup.exe"},
    {L"3", L"English_link\\Setup.exe", L"\\English_link\\Setup.exe"},
    {L"7", L"Japanese_link\\Setup.exe", L"\\Japanese_link\\Setup.exe"},
};

constexpr int kNormalFocus = 1;

}  // namespace

Outcome RunSetup(forms::Runtime& rt, const std::wstring& code) {
    for (const Row& row : kLanguages) {
        if (code != row.code) continue;
        const std::wstring folder = rt.AppPath();
        const bool endsInBackslash = !folder.empty() && folder.back() == L'\\';
        const std::wstring path = folder + (endsInBackslash ? row.afterBackslash : row.otherwise);
        return rt.Shell(path, kNormalFocus) == forms::StartResult::Declined ? Outcome::Declined : Outcome::Started;
    }
    return Outcome::NoSetup;
}

}  // namespace ModSelect
