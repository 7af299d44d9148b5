// SPDX-License-Identifier: MIT
// TQDPPaczka: a package and its save. A concrete package overrides
// fUserDefPaczka (version, codes, description, through fSetPaczka) and
// fUserDefListaDokumentow (builds its documents, usually with
// fCreateDokument), optionally fUserAfterDefPaczka. fMakePaczka is the one
// entry: it creates the package in qdpcore, builds it through the hooks,
// saves it and always leaves the library without the package.
#pragma once

#include "package/QdpDokument.h"

#include <memory>
#include <string>
#include <vector>

namespace xls2qdp {

class TQDPPaczka : public TQDPBase {
public:
    explicit TQDPPaczka(QdpBinding binding = {});
    ~TQDPPaczka() override;

    // Hooks. Defaults: fUserDefListaDokumentow and fUserDefPaczka give 109,
    // fUserAfterDefPaczka gives 1.
    virtual std::int32_t fUserDefListaDokumentow();
    virtual std::int32_t fUserDefPaczka();
    virtual std::int32_t fUserAfterDefPaczka();

    // For fUserDefPaczka: stores the version, and the three texts when
    // typeCode is not empty. Returns 1.
    std::int32_t fSetPaczka(std::int32_t version, std::string_view typeCode,
                            std::string_view programCode, std::string_view description);

    // Builds the package and saves it as outputFileName (full path, UTF-8).
    // tempFolder is where the library keeps its temporary files (empty:
    // [OUTPUT] OUTPATH of qdp.ini in the program folder set by the caller). Returns 1 when the
    // file was written, else the first failure code (its message already
    // shown). A library failure on a field definition or a record throws
    // QdpException; the library package is cleared on every path.
    std::int32_t fMakePaczka(std::string_view outputFileName, std::string_view tempFolder,
                             bool show);
    // Frees the owned documents, empties the package values and clears the
    // library package (Clear's result, or 1 when there was none).
    std::int32_t fClearPaczka();

    // The build sequence of fMakePaczka without the final cleanup on failure.
    std::int32_t fCreatePaczka(std::string_view outputFileName, std::string_view tempFolder,
                               bool show);
    // Settles the folder for temporary files: folder when it is not blank,
    // else qdp.ini's [OUTPUT] OUTPATH. 506 with its message when that folder
    // is empty or missing; the system's temporary folder is used instead.
    std::int32_t fSetTempDir(std::string_view folder, bool show);
    // 513 with its message when the name is blank.
    std::int32_t fSetFileName(std::string_view outputFileName, bool show);

    // The program's folder, whose qdp.ini fSetTempDir reads; the caller
    // gives it (the program-wide setting ProgramDir). Without it no qdp.ini
    // is read.
    void setProgramDir(std::string folder) { programDir_ = std::move(folder); }
    const std::string& programDir() const { return programDir_; }
    // A package cipher (algorithm 0: none, the default) and the switch for
    // fUserAfterDefPaczka.
    void setCrypt(std::int32_t algorithm, std::int32_t mode, std::string key, std::string iv);
    void setAfterCreation(bool on) { afterCreation_ = on; }

    TQDPDokument& addDokument(std::unique_ptr<TQDPDokument> document);
    const std::vector<std::unique_ptr<TQDPDokument>>& documents() const { return documents_; }

    QdpHandle handle() const { return handle_; }
    std::int32_t version() const { return version_; }
    const std::string& typeCode() const { return typeCode_; }
    const std::string& programCode() const { return programCode_; }
    const std::string& description() const { return description_; }
    const std::string& outputFileName() const { return outputFileName_; }
    const std::string& tempFolder() const { return tempFolder_; }

protected:
    // The show-errors switch of the running fCreatePaczka, for the hooks.
    bool showErrors() const { return showErrors_; }

private:
    std::int32_t fDefPaczka(bool show);
    std::int32_t fSetCryptAlgoMode();
    std::int32_t fSetCryptKeyIv();
    std::int32_t fSetOutPath(bool show);
    std::int32_t fSavePaczka(bool show);

    bool showErrors_ = true;
    QdpHandle handle_ = 0;
    std::int32_t version_ = 0;
    std::string typeCode_;
    std::string programCode_;
    std::string description_;
    std::int32_t algorithm_ = 0;
    std::int32_t mode_ = 0;
    bool afterCreation_ = false;
    std::string outputFileName_;
    std::string key_;
    std::string iv_;
    std::string tempFolder_;
    std::string programDir_;
    std::vector<std::unique_ptr<TQDPDokument>> documents_;
};

} // namespace xls2qdp
