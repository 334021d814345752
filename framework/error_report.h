#pragma once
// Failures that escape a message handler are shown to the user; the window
// they happened in goes on.

#include <stdexcept>
#include <string>

namespace fw {

// A failure whose text is fit to show the user as it stands.
class UserFacingError : public std::runtime_error {
public:
    explicit UserFacingError(const std::wstring& text) : std::runtime_error("user-facing error"), m_text(text) {}
    const std::wstring& Text() const { return m_text; }

private:
    std::wstring m_text;
};

// Call inside a catch block: shows a system-modal error box for the exception
// being handled.
void ReportCurrentException();

}  // namespace fw
