// SPDX-License-Identifier: MIT
// libFuzzer target: any bytes as a record, and any text as a number.
#include "host/core/CodePage.h"
#include "host/core/RuntimeError.h"
#include "storage/RecordFile.h"
#include "storage/TaggedValue.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using storage::TaggedValue;
    QByteArray record(reinterpret_cast<const char*>(data), qsizetype(size));
    // The reader hands over exactly one record, zero-filled past the end of the file.
    QByteArray padded = record.left(storage::kRecordLength);
    padded.append(storage::kRecordLength - padded.size(), '\0');

    for (const QByteArray& bytes : {record, padded}) {
        const TaggedValue value = TaggedValue::decode(bytes);
        (void)value.toText();
        try {
            (void)value.toSingle();
        } catch (const host::RuntimeError& error) {
            if (error.number() != 13 && error.number() != 6)
                std::abort();
        }
        if (!value.isEmpty()) {
            const QByteArray again = value.encode();
            if (again.size() > storage::kRecordLength || !(TaggedValue::decode(again) == value))
                std::abort();
        }
    }
    try {
        (void)storage::parseNumber(host::fromAnsi(record));
    } catch (const host::RuntimeError&) {
    }
    return 0;
}
