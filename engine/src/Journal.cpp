#include "engine/src/Journal.h"

#include <cstring>

#include "engine/src/Bytes.h"
#include "engine/src/Checksum.h"
#include "engine/src/Format.h"
#include "engine/src/MasterRecord.h"

namespace zelmor::engine {

using namespace format;

namespace {

// Journal records are written in batches of this many pages.
constexpr std::size_t kPagesPerWrite = 64;
// A master reference: u64 id, u32 path length, the path, u32 checksum (seeded with the salt).
constexpr std::size_t kReferenceFixed = 16;
constexpr std::size_t kMaxReferencePath = 4096;

std::uint64_t ReferenceOffset(std::uint32_t records) {
    return kJournalHeaderSize + std::uint64_t{records} * kJournalEntrySize;
}

// A whole journal's header: magic, page size and checksum right, and every record present.
struct Header {
    std::uint32_t salt = 0;
    std::uint32_t pageCount = 0;
    std::uint32_t records = 0;
    std::uint32_t referenceLength = 0;
};

// The checksum of the whole header, its own field counted as zero: every field that decides how
// the journal is replayed (the master reference's length included) is covered.
std::uint32_t HeaderChecksum(const std::uint8_t* head, std::uint32_t salt) {
    std::uint8_t copy[kJournalHeaderSize];
    std::memcpy(copy, head, sizeof copy);
    Store32(copy + kJournalChecksum, 0);
    return Checksum(copy, sizeof copy, salt);
}

bool ReadHeader(File& journal, Header* header) {
    std::uint8_t head[kJournalHeaderSize];
    std::size_t got = 0;
    if (Failed(journal.Read(0, head, sizeof head, &got)) || got != sizeof head) return false;
    if (std::memcmp(head, kJournalMagic, sizeof kJournalMagic) != 0) return false;
    header->salt = Load32(head + kJournalSalt);
    if (Load32(head + kJournalChecksum) != HeaderChecksum(head, header->salt) ||
        Load32(head + kJournalPageSize) != kPageSize)
        return false;
    header->pageCount = Load32(head + kJournalPageCount);
    header->records = Load32(head + kJournalRecords);
    header->referenceLength = Load32(head + kJournalMasterLength);
    if (header->referenceLength > kReferenceFixed + kMaxReferencePath) return false;
    std::uint64_t size = 0;
    if (Failed(journal.Size(&size))) return false;
    return size >= ReferenceOffset(header->records) + header->referenceLength;
}

bool ReadReferenceRecord(File& journal, const Header& header, MasterReference* master) {
    if (header.referenceLength < kReferenceFixed) return false;
    std::vector<std::uint8_t> bytes(header.referenceLength);
    std::size_t got = 0;
    if (Failed(journal.Read(ReferenceOffset(header.records), bytes.data(), bytes.size(), &got)) ||
        got != bytes.size())
        return false;
    const std::uint32_t pathLength = Load32(bytes.data() + 8);
    if (pathLength != bytes.size() - kReferenceFixed) return false;
    const std::size_t summed = 12 + pathLength;
    if (Load32(bytes.data() + summed) != Checksum(bytes.data(), summed, header.salt)) return false;
    master->id = Load64(bytes.data());
    master->path.assign(reinterpret_cast<const char*>(bytes.data() + 12), pathLength);
    return true;
}

}  // namespace

Journal::Journal(FileSystem& fileSystem, std::string path)
    : fileSystem_(fileSystem), path_(std::move(path)) {}

Status Journal::Write(const std::vector<Page*>& pages, std::uint32_t salt,
                      std::uint32_t pageCount, const MasterReference* master) {
    if (!file_) {
        ZELRM_TRY(fileSystem_.Open(path_, OpenDisposition::kOpenOrCreate, &file_));
        // The journal's name must survive a crash before any page of the file is overwritten.
        Status status = fileSystem_.SyncDirectoryOf(path_);
        if (Failed(status)) {
            file_.reset();
            return status;
        }
    }
    std::uint32_t referenceLength = 0;
    if (master != nullptr) {
        if (master->path.size() > kMaxReferencePath) return Status::kInvalidFileName;
        referenceLength = static_cast<std::uint32_t>(kReferenceFixed + master->path.size());
    }
    std::uint8_t head[kJournalHeaderSize] = {};
    std::memcpy(head, kJournalMagic, sizeof kJournalMagic);
    Store32(head + kJournalPageSize, kPageSize);
    Store32(head + kJournalSalt, salt);
    Store32(head + kJournalPageCount, pageCount);
    Store32(head + kJournalRecords, static_cast<std::uint32_t>(pages.size()));
    Store32(head + kJournalMasterLength, referenceLength);
    Store32(head + kJournalChecksum, HeaderChecksum(head, salt));

    std::uint64_t offset = 0;
    buffer_.assign(head, head + kJournalHeaderSize);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::uint8_t record[kJournalEntryHeader] = {};
        const std::uint8_t* image = pages[i]->data();
        Store32(record + kJournalEntryPage, pages[i]->number);
        Store32(record + kJournalEntrySalt, salt);
        Store32(record + kJournalEntryChecksum, Checksum(image, kPageSize, pages[i]->number ^ salt));
        buffer_.insert(buffer_.end(), record, record + kJournalEntryHeader);
        buffer_.insert(buffer_.end(), image, image + kPageSize);
        if ((i + 1) % kPagesPerWrite == 0) {
            ZELRM_TRY(file_->Write(offset, buffer_.data(), buffer_.size()));
            offset += buffer_.size();
            buffer_.clear();
        }
    }
    if (master != nullptr) {
        std::uint8_t fixed[12];
        Store64(fixed, master->id);
        Store32(fixed + 8, static_cast<std::uint32_t>(master->path.size()));
        const std::size_t start = buffer_.size();
        buffer_.insert(buffer_.end(), fixed, fixed + sizeof fixed);
        buffer_.insert(buffer_.end(), master->path.begin(), master->path.end());
        std::uint8_t sum[4];
        Store32(sum, Checksum(buffer_.data() + start, buffer_.size() - start, salt));
        buffer_.insert(buffer_.end(), sum, sum + 4);
    }
    if (!buffer_.empty()) ZELRM_TRY(file_->Write(offset, buffer_.data(), buffer_.size()));
    return file_->Sync();
}

Status Journal::Clear() { return file_ ? file_->Truncate(0) : Status::kOk; }

bool Journal::ReadReference(FileSystem& fileSystem, const std::string& journalPath,
                            MasterReference* master) {
    if (!fileSystem.Exists(journalPath)) return false;
    std::unique_ptr<File> journal;
    if (Failed(fileSystem.Open(journalPath, OpenDisposition::kExisting, &journal))) return false;
    Header header;
    return ReadHeader(*journal, &header) && ReadReferenceRecord(*journal, header, master);
}

Status Journal::Recover(FileSystem& fileSystem, const std::string& journalPath, File& file) {
    if (!fileSystem.Exists(journalPath)) return Status::kOk;
    std::unique_ptr<File> journal;
    ZELRM_TRY(fileSystem.Open(journalPath, OpenDisposition::kExisting, &journal));
    // A journal that is not to be replayed is emptied where that is allowed; left as it is, it
    // is superseded by the next commit's.
    auto drop = [&] {
        journal->Truncate(0);
        return Status::kOk;
    };
    Header header;
    if (!ReadHeader(*journal, &header)) return drop();
    MasterReference master;
    const bool named = header.referenceLength != 0;
    if (named && (!ReadReferenceRecord(*journal, header, &master) ||
                  !MasterRecord::Exists(fileSystem, master)))
        return drop();  // its transaction never took place
    // Check every record before touching the file: an incomplete journal is ignored.
    std::vector<std::uint8_t> entry(kJournalEntrySize);
    std::size_t got = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::uint32_t i = 0; i < header.records; ++i) {
            ZELRM_TRY(journal->Read(kJournalHeaderSize + std::uint64_t{i} * kJournalEntrySize,
                                    entry.data(), entry.size(), &got));
            if (got != entry.size()) return drop();
            const std::uint8_t* image = entry.data() + kJournalEntryHeader;
            std::uint32_t number = Load32(entry.data() + kJournalEntryPage);
            if (pass == 0) {
                // A page beyond the file as the commit left it belongs to no commit of it.
                if (number >= header.pageCount ||
                    Load32(entry.data() + kJournalEntrySalt) != header.salt ||
                    Load32(entry.data() + kJournalEntryChecksum) !=
                        Checksum(image, kPageSize, number ^ header.salt))
                    return drop();
            } else {
                ZELRM_TRY(file.Write(std::uint64_t{number} * kPageSize, image, kPageSize));
            }
        }
    }
    ZELRM_TRY(file.Sync());
    ZELRM_TRY(journal->Truncate(0));
    journal.reset();
    if (named) MasterRecord::RemoveIfDone(fileSystem, master);
    return Status::kOk;
}

}  // namespace zelmor::engine
