// PRJ face records, little-endian as the format's table lays them out.
#include "reader/PrjWriter.h"

#include <bit>

#include "reader/FaceCorners.h"
#include "reader/FormatTables.h"

namespace vexlor {

namespace {

void PutLittleEndian(uint8_t* out, uint32_t value) {
    for (int i = 0; i < format::kValueSize; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutCount(ByteOutput& out, int64_t count) {
    uint8_t bytes[format::kValueSize];
    PutLittleEndian(bytes, static_cast<uint32_t>(static_cast<int32_t>(count)));
    out.WriteAt(0, bytes, sizeof bytes);
}

}  // namespace

PrjWriter::PrjWriter(ByteOutput& out) : out_(out) {
    PutCount(out_, 0);
}

void PrjWriter::FacesRead(const WalkPlace& place, int64_t, const MeshTables& tables, int64_t first,
                          int64_t count) {
    for (int64_t k = first; k < first + count; ++k) {
        const FaceCorners resolved =
            ResolveCorners(tables.FaceTable[static_cast<size_t>(k)], tables);
        uint8_t record[format::kPrjFaceRecordSize];
        PutLittleEndian(record + format::kPrjFaceFields[0].Offset,
                        static_cast<uint32_t>(place.Mesh));
        for (size_t c = 0; c < 4; ++c) {
            uint8_t* corner = record + format::kPrjFaceFields[1 + c].Offset;
            const Vec3& v = resolved.Corners[c];
            PutLittleEndian(corner, std::bit_cast<uint32_t>(v.X));
            PutLittleEndian(corner + format::kValueSize, std::bit_cast<uint32_t>(v.Y));
            PutLittleEndian(corner + 2 * format::kValueSize, std::bit_cast<uint32_t>(v.Z));
        }
        out_.Write(record, sizeof record);
        ++records_;
    }
}

void PrjWriter::Finish() {
    PutCount(out_, records_);
}

}  // namespace vexlor
