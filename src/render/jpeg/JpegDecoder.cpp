#include "render/jpeg/JpegDecoder.h"

#include "render/jpeg/JpegFastScanDecoder.h"
#include "render/jpeg/JpegHeaderReader.h"
#include "render/jpeg/JpegKernels.h"
#include "render/jpeg/JpegScanDecoder.h"

namespace jpeg {

bool JpegDecoder::ReadHeader(std::span<const std::uint8_t> data) {
    m_data = data;
    m_headerRead = JpegHeaderReader::Read(data, &m_frame);
    return m_headerRead;
}

bool JpegDecoder::Decode(const PixelDestination& destination) {
    if (!m_headerRead || destination.pixels == nullptr) return false;
    if (!m_writer.SetFormat(destination)) return false;
    const std::ptrdiff_t rowBytes = std::ptrdiff_t{m_frame.width} * (destination.bitsPerPixel / 8);
    if (destination.pitch < rowBytes) return false;
    m_headerRead = false;  // one decode per header walk
    const JpegKernels* kernels = KernelsFor(m_path);
    if (kernels != nullptr && JpegFastScanDecoder::Takes(m_frame))
        return JpegFastScanDecoder::Decode(m_frame, m_data, m_writer, destination, *kernels);
    return JpegScanDecoder::Decode(m_frame, m_data, m_writer, destination);
}

bool JpegDecoder::SetDecodePath(JpegDecodePath path) {
    if (!ProcessorRuns(path)) return false;
    m_path = path;
    return true;
}

}  // namespace jpeg
