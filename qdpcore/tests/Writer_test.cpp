// SPDX-License-Identifier: MIT
// The package file byte for byte, written into memory with a fixed date.
#include "OsFile.h"
#include "PackageBuilder.h"
#include "PackageWriter.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <cerrno>
#include <csignal>
#include <string>

using qdp::Result;

namespace {

std::string padded(const std::string& text, std::size_t width) {
    std::string s = text;
    s.resize(width, '\0');
    return s;
}

constexpr const char* kDate = "2004.03.15";

class Writer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(qdp::makePackage(1, "TYP", "PROG", packageDescription(), paczka), Result::Ok);
        ASSERT_EQ(qdp::setOutPath(*paczka, dir.prefix().c_str()), Result::Ok);
        ASSERT_EQ(qdp::addDokument(*paczka, "DOK", 4, 1, nullptr), Result::Ok);
        ASSERT_EQ(qdp::addSekcja(*paczka, "SEK", nullptr), Result::Ok);
    }
    virtual const char* packageDescription() { return ""; }
    std::string write() {
        qdp::StringSink sink;
        EXPECT_EQ(qdp::writePackage(*paczka, sink, kDate), Result::Ok);
        return sink.data;
    }
    qdptest::TempDir dir;
    std::unique_ptr<qdp::Paczka> paczka;
};

TEST_F(Writer, SmallestPackageIs361Bytes) {
    ASSERT_EQ(qdp::addDefPol(*paczka, "POLE", "C", "5", "0", nullptr), Result::Ok);
    const std::string expected =
        // package header
        padded("PACZKA", 9) + padded("1", 7) + padded("TYP", 33) + padded("PROG", 33) +
        padded("1", 7) + padded(kDate, 11) + padded("361", 11) + padded("361", 11) + "\r\n" +
        // document list
        padded("SPISDOK", 9) + padded("157", 11) + padded("204", 11) + "\r\n" +
        // document header
        padded("DOKUMENT", 9) + padded("DOK", 33) + padded("4", 7) + padded("1", 7) +
        padded("1", 7) + padded(kDate, 11) + "\r\n" +
        // section list, offset from the document header
        padded("SPISSEK", 9) + padded("109", 11) + padded("95", 11) + "\r\n" +
        // section header and its one field definition
        padded("SEKCJA", 9) + padded("SEK", 17) + padded("1", 5) + padded("0", 11) + "\r\n" +
        padded("DEFPOL", 9) + padded("POLE", 25) + padded("C", 5) + padded("5", 5) +
        padded("0", 5) + "\r\n";
    ASSERT_EQ(expected.size(), 361u);
    EXPECT_EQ(write(), expected);
    EXPECT_EQ(paczka->totalSize, 361u);
    EXPECT_EQ(paczka->sizeText, "361");
}

class WriterWithDescription : public Writer {
    const char* packageDescription() override { return "opis paczki"; }
};

TEST_F(WriterWithDescription, PackageDescriptionMovesTheDocumentTo408) {
    ASSERT_EQ(qdp::addDefPol(*paczka, "POLE", "C", "5", "0", nullptr), Result::Ok);
    const std::string file = write();
    ASSERT_EQ(file.size(), 612u);
    EXPECT_EQ(file.substr(100, 251), padded("opis paczki", 251));
    EXPECT_EQ(file.substr(351, 11), padded("612", 11));
    EXPECT_EQ(file.substr(362, 11), padded("612", 11));
    EXPECT_EQ(file.substr(373, 2), "\r\n");
    EXPECT_EQ(file.substr(375, 33),
              padded("SPISDOK", 9) + padded("408", 11) + padded("204", 11) + "\r\n");
    EXPECT_EQ(file.substr(408 + 76, 33),
              padded("SPISSEK", 9) + padded("109", 11) + padded("95", 11) + "\r\n");
}

TEST_F(Writer, RecordOfSizes3And5) {
    ASSERT_EQ(qdp::addDefPol(*paczka, "A", "C", "3", "0", nullptr), Result::Ok);
    ASSERT_EQ(qdp::addDefPol(*paczka, "B", "C", "5", "0", nullptr), Result::Ok);
    ASSERT_EQ(paczka->current()->current()->recordLength(), 12u);
    // The caller's separators and end are not copied: the record makes its own.
    std::string text = "abcXdefghYZW";
    ASSERT_EQ(qdp::addRekord(*paczka, text.data()), Result::Ok);
    const std::string file = write();
    const std::size_t record = 124 + 33 + 76 + 33 + 44 + 2 * 51;
    ASSERT_EQ(file.size(), record + 12);
    EXPECT_EQ(file.substr(record), std::string("abc\0defgh\0\r\n", 12));
    EXPECT_EQ(file.substr(124 + 33 + 76 + 33 + 31, 11), padded("1", 11)) << "record count";
}

TEST_F(Writer, BlobFieldOfSize30) {
    ASSERT_EQ(qdp::addDefPol(*paczka, "OPIS", "V", "30", "0", nullptr), Result::Ok);
    std::string text = "0123456789abcdefghijklmnopqrs" + std::string("?\r\n");
    ASSERT_EQ(qdp::addRekord(*paczka, text.data()), Result::Ok);
    const std::string file = write();
    const std::size_t record = 124 + 33 + 76 + 33 + 44 + 51;
    EXPECT_EQ(file.substr(record, 33), padded("0 29", 31) + "\r\n");
    EXPECT_EQ(file.substr(record + 33), "0123456789abcdefghijklmnopqrs");
    // The section's length counts its blob area.
    EXPECT_EQ(file.substr(124 + 33 + 76 + 20, 11), padded(std::to_string(44 + 51 + 33 + 29), 11));
}

TEST_F(Writer, BlobOffsetsCountFromTheStartOfTheBlobArea) {
    ASSERT_EQ(qdp::addDefPol(*paczka, "A", "V", "22", "0", nullptr), Result::Ok);
    ASSERT_EQ(qdp::addDefPol(*paczka, "B", "B", "22", "0", nullptr), Result::Ok);
    std::string text(2 + 23 * 2, 'x');
    ASSERT_EQ(qdp::addRekord(*paczka, text.data()), Result::Ok);
    ASSERT_EQ(qdp::addRekord(*paczka, text.data()), Result::Ok);
    const std::string file = write();
    const std::size_t record = 124 + 33 + 76 + 33 + 44 + 2 * 51;
    EXPECT_EQ(file.substr(record, 23), padded("0 21", 23));
    EXPECT_EQ(file.substr(record + 23, 23), padded("21 21", 23));
    EXPECT_EQ(file.substr(record + 48, 23), padded("42 21", 23));
    EXPECT_EQ(file.substr(record + 48 + 23, 23), padded("63 21", 23));
}

TEST_F(Writer, FieldSizeOf5DigitsHasNoZero) {
    ASSERT_EQ(qdp::addDefPol(*paczka, "DUZE", "C", "12345", "0", nullptr), Result::Ok);
    EXPECT_EQ(qdp::addDefPol(*paczka, "ZADUZE", "C", "99999", "0", nullptr), Result::FormatLimit);
    const std::string file = write();
    EXPECT_EQ(file.substr(124 + 33 + 76 + 33 + 44 + 39, 10), "12345" + padded("0", 5));
}

// A sink that takes limit bytes and then fails with an error number.
class FailingSink final : public qdp::ByteSink {
public:
    FailingSink(std::size_t limit, int error) : limit_(limit), error_(error) {}
    Result write(std::span<const char> bytes) override {
        if (taken_ + bytes.size() > limit_) return qdp::resultFromWriteError(error_);
        taken_ += bytes.size();
        return Result::Ok;
    }

private:
    std::size_t limit_;
    int error_;
    std::size_t taken_ = 0;
};

TEST_F(Writer, AFailedWriteAnywhereStopsTheSaveWithItsCode) {
    ASSERT_EQ(qdp::addDefPol(*paczka, "A", "V", "30", "0", nullptr), Result::Ok);
    std::string text(33, 'x');
    ASSERT_EQ(qdp::addRekord(*paczka, text.data()), Result::Ok);
    const std::size_t total = write().size();
    struct Case {
        int error;
        Result expected;
    } cases[] = {{EBADF, Result::WriteFailed},
                 {ENOSPC, Result::DiskFull},
                 {EIO, Result::OsError},
                 {EPERM, Result::OsError}};
    // Failing in the package header, the lists, the headers, the records and
    // the blob area.
    for (std::size_t limit : {std::size_t{0}, std::size_t{130}, std::size_t{200}, std::size_t{300},
                              total - 40, total - 1}) {
        for (const auto& c : cases) {
            FailingSink sink(limit, c.error);
            EXPECT_EQ(qdp::writePackage(*paczka, sink, kDate), c.expected)
                << "limit " << limit << " errno " << c.error;
        }
    }
}

#if !defined(_WIN32) // a file-size limit stands for the full disk
// Records are gathered in memory before they reach the temporary file. A full
// disk (here a file-size limit) is still reported, by a later record or at
// the latest by the save, and the records accepted before it are all kept:
// once there is room again the package holds every one of them.
TEST_F(Writer, AFullDiskUnderTheRecordsIsReportedAndLosesNothing) {
    for (const std::size_t records : {std::size_t{10}, std::size_t{2000}}) {
        SCOPED_TRACE(records);
        SetUp();
        ASSERT_EQ(qdp::addDefPol(*paczka, "A", "C", "98", "0", nullptr), Result::Ok); // 101 bytes
        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 100 * 1024;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        std::size_t accepted = 0;
        Result refused = Result::Ok;
        for (std::size_t i = 0; i < records && refused == Result::Ok; ++i) {
            std::string text = std::to_string(i);
            text.resize(99, '\0');
            refused = qdp::addRekord(*paczka, text.data());
            if (refused == Result::Ok) ++accepted;
        }
        qdp::StringSink limited;
        const Result savedUnderLimit = qdp::writePackage(*paczka, limited, kDate);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);

        if (records * 101 <= small.rlim_cur) {
            EXPECT_EQ(refused, Result::Ok);
            EXPECT_EQ(savedUnderLimit, Result::Ok);
        } else {
            EXPECT_TRUE(refused != Result::Ok || savedUnderLimit != Result::Ok);
            EXPECT_NE(refused, Result::Ok) << "a later record reports the full disk";
        }
        const std::string file = write();
        const std::size_t header = file.size() - accepted * 101;
        for (std::size_t i = 0; i < accepted; ++i)
            ASSERT_EQ(file.substr(header + i * 101, std::to_string(i).size() + 1),
                      std::string(std::to_string(i)) + '\0')
                << "record " << i;
    }
}

#endif

// Records beyond the memory buffer reach the package through its temporary
// file, copied by the system where it can: the bytes are those of the plain
// copy, and writing goes on after the copied part.
TEST_F(Writer, RecordsCopiedIntoAFileAreThoseOfThePlainCopy) {
    ASSERT_EQ(qdp::addDefPol(*paczka, "A", "C", "98", "0", nullptr), Result::Ok);
    for (int i = 0; i < 3000; ++i) { // about 300 KB
        std::string text = std::to_string(i);
        text.resize(99, '\0');
        ASSERT_EQ(qdp::addRekord(*paczka, text.data()), Result::Ok);
    }
    const std::string expected = write();
    const std::string path = dir.prefix() + "copied.qdp";
    {
        qdp::OsFile file = qdp::OsFile::createOrTruncate(path);
        ASSERT_TRUE(file.isOpen());
        qdp::FileSink sink(file);
        ASSERT_EQ(qdp::writePackage(*paczka, sink, kDate), Result::Ok);
        ASSERT_EQ(sink.write(std::string_view("END")), Result::Ok);
    }
    EXPECT_EQ(qdptest::readFile(path), expected + "END");
}

TEST_F(Writer, RecordCountStopsBelowTheFieldLimit) {
    ASSERT_EQ(qdp::addDefPol(*paczka, "A", "C", "1", "0", nullptr), Result::Ok);
    qdp::Sekcja& s = *paczka->current()->current();
    s.recordCount = 999997;
    char text[4] = "a";
    EXPECT_EQ(qdp::addRekord(*paczka, text), Result::Ok);
    EXPECT_EQ(s.recordCount, 999998u);
    EXPECT_EQ(qdp::addRekord(*paczka, text), Result::FormatLimit);
    EXPECT_EQ(s.recordCount, 999998u);
    EXPECT_EQ(s.records.recordBytes(), 4u) << "the refused record was not written";
}

TEST_F(Writer, RecordLengthBeyondTheLargestFileIsRefused) {
    // Appended without record buffers, which would take gigabytes.
    qdp::Sekcja& s = *paczka->current()->current();
    Result r = Result::Ok;
    int added = 0;
    for (;;) {
        auto field = std::make_unique<qdp::DefPol>();
        field->size = 99998;
        if (!ok(r = s.appendField(std::move(field)))) break;
        ++added;
    }
    EXPECT_EQ(r, Result::PackageTooLarge);
    EXPECT_EQ(added, 21475); // 2 + 21475 * 99999 still fits 2^31 - 1, one more does not
}

} // namespace
