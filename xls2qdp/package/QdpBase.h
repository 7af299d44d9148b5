// SPDX-License-Identifier: MIT
// TQDPBase: root of the package object layer. It knows where library calls
// go (QdpLibrary) and where messages go (MessageSink), reports library codes
// as Polish messages or as a QdpException, and converts texts to the
// Windows-1250 bytes the library receives.
//
// Every operation that can show a message takes the show-errors switch: when
// it is false nothing reaches the sink (the result codes stay the same).
// Single-threaded.
#pragma once

#include "common/MessageSink.h"
#include "package/QdpLibrary.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace xls2qdp {

class Windows1250Encoder;
struct Windows1250Failure;

// Where a package object sends its library calls and its messages. Both must
// outlive the objects built with them; null means the linked qdpcore and
// standard error.
struct QdpBinding {
    QdpLibrary* library = nullptr;
    MessageSink* messages = nullptr;
};

class TQDPBase {
public:
    explicit TQDPBase(QdpBinding binding = {});
    virtual ~TQDPBase();
    TQDPBase(const TQDPBase&) = delete;
    TQDPBase& operator=(const TQDPBase&) = delete;

    // Throws QdpException with the Polish text of code (see exceptionText).
    [[noreturn]] virtual void pException(std::int32_t code) const;
    // Error box "Błąd biblioteki: N " (+ line break and the code's text).
    void pIntErrorMessBox(std::int32_t code, bool show) const;
    // Error box with text (UTF-8).
    void pStrErrorMessBox(std::string_view text, bool show) const;

    // A fresh copy of text (the library keeps nothing of what it is given).
    static std::string fStrAllocCopy(std::string_view text) { return std::string(text); }
    // The zero-terminated text in slot number slot of a buffer of equal-width
    // slots; never reads beyond the slot or the buffer.
    static std::string fCopyField(std::span<const char> buffer, std::size_t slot,
                                  std::size_t width);

    // Sends later messages to sink (null: standard error); objects that own
    // others pass it on to them.
    virtual void setMessageSink(MessageSink* sink);

    const QdpBinding& binding() const { return binding_; }
    QdpLibrary& library() const { return *binding_.library; }
    MessageSink& messages() const { return *binding_.messages; }

protected:
    // UTF-8 text -> Windows-1250 bytes for the library. A character that
    // Windows-1250 cannot hold shows a message naming what (e.g. "opis
    // sekcji") and returns false; the caller then returns
    // qdpcode::NotWindows1250.
    bool toLibraryText(std::string_view utf8, std::string_view what, std::string& out,
                       bool show) const;
    // The two halves of toLibraryText, for callers that name what only when
    // the conversion failed.
    bool encodeForLibrary(std::string_view utf8, std::string& out,
                          Windows1250Failure& failure) const;
    void reportNotWindows1250(std::string_view what, std::string_view utf8,
                              const Windows1250Failure& failure, bool show) const;

private:
    QdpBinding binding_;
    std::unique_ptr<Windows1250Encoder> encoder_;
};

} // namespace xls2qdp
