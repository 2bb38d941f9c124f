// The matrix collection file: read, written back, read again. The written file is the bytes
// read with the last partial entry completed with zero bytes, and reading it gives the same
// entries.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Scratch.h"
#include "collection/Collection.h"
#include "textfile/BoundedRead.h"

using namespace veltrano;
using namespace veltrano::collection;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string in = fuzz::ScratchFile("in.mtx", bytes);
    const ReadResult read = ReadMatrixCollection(in);
    FUZZ_CHECK(!read.error);
    FUZZ_CHECK(read.entries.size() == (size + kRecordBytes - 1) / kRecordBytes);
    for (const StoredMatrix& entry : read.entries) {
        FUZZ_CHECK(entry.Name().size() <= kNameBytes);
        FUZZ_CHECK(StoredMatrixRow(entry).size() >= 1);
    }

    const std::string out = fuzz::ScratchDir() + "/out.mtx";
    FUZZ_CHECK(!WriteMatrixCollection(out, read.entries));
    std::string written;
    FUZZ_CHECK(textfile::ReadBoundedFile(out, kMaxCollectionBytes, written).status ==
               textfile::ReadStatus::Read);
    std::string expected(bytes);
    expected.resize(read.entries.size() * kRecordBytes, '\0');
    FUZZ_CHECK(written == expected);

    const ReadResult again = ReadMatrixCollection(out);
    FUZZ_CHECK(!again.error);
    FUZZ_CHECK(again.entries == read.entries);
    return 0;
}
