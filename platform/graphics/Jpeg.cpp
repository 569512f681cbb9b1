#include "platform/graphics/Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <exception>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

#include "platform/graphics/Bitmap.h"

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back to the setjmp of the coder below. The functions holding the
// setjmp keep only trivially destructible locals, so the jump skips no C++
// destructor; stream exceptions raised inside the managers are caught there
// and re-thrown once the library has been left.

namespace {

constexpr size_t bufferSize = 4096;

struct ErrorManager {
    jpeg_error_mgr Pub;
    std::jmp_buf Jump;
    int Code;
};

extern "C" void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->Code = cinfo->err->msg_code;
    std::longjmp(err->Jump, 1);
}

extern "C" void outputMessage(j_common_ptr) {}

struct SourceManager {
    jpeg_source_mgr Pub;
    TStream* Stream;
    std::exception_ptr* Failure;
    bool StartOfFile;
    JOCTET Buffer[bufferSize];
};

extern "C" void initSource(j_decompress_ptr cinfo)
{
    reinterpret_cast<SourceManager*>(cinfo->src)->StartOfFile = true;
}

extern "C" boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    int64_t n = 0;
    try {
        n = src->Stream->Read(src->Buffer, int64_t(bufferSize));
    } catch (...) {
        *src->Failure = std::current_exception();
        n = -1;
    }
    if (n < 0)
        ERREXIT(cinfo, JERR_FILE_READ);
    if (n == 0) {
        if (src->StartOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A truncated file ends as if its end marker were there.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->Buffer[0] = 0xFF;
        src->Buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->Pub.next_input_byte = src->Buffer;
    src->Pub.bytes_in_buffer = size_t(n);
    src->StartOfFile = false;
    return TRUE;
}

extern "C" void skipInputData(j_decompress_ptr cinfo, long count)
{
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    if (count <= 0)
        return;
    while (count > long(src->Pub.bytes_in_buffer)) {
        count -= long(src->Pub.bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    src->Pub.next_input_byte += count;
    src->Pub.bytes_in_buffer -= size_t(count);
}

// Gives back what was read ahead, so the stream stands after the image.
extern "C" void termSource(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    if (src->Pub.bytes_in_buffer == 0)
        return;
    try {
        src->Stream->Seek(-int64_t(src->Pub.bytes_in_buffer), soCurrent);
        src->Pub.bytes_in_buffer = 0;
    } catch (...) {
        *src->Failure = std::current_exception();
    }
}

struct DestinationManager {
    jpeg_destination_mgr Pub;
    TStream* Stream;
    std::exception_ptr* Failure;
    JOCTET Buffer[bufferSize];
};

extern "C" void initDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<DestinationManager*>(cinfo->dest);
    dest->Pub.next_output_byte = dest->Buffer;
    dest->Pub.free_in_buffer = bufferSize;
}

bool writeOut(DestinationManager* dest, size_t count)
{
    try {
        dest->Stream->WriteBuffer(dest->Buffer, int64_t(count));
        return true;
    } catch (...) {
        *dest->Failure = std::current_exception();
        return false;
    }
}

extern "C" boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<DestinationManager*>(cinfo->dest);
    if (!writeOut(dest, bufferSize))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->Pub.next_output_byte = dest->Buffer;
    dest->Pub.free_in_buffer = bufferSize;
    return TRUE;
}

extern "C" void termDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<DestinationManager*>(cinfo->dest);
    const size_t count = bufferSize - dest->Pub.free_in_buffer;
    if (count > 0 && !writeOut(dest, count))
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

struct DecodeOptions {
    bool Grayscale;
    int ScaleDenom;
    bool Fast;
};

// Returns 0 on success, else the library's message code. Out receives the
// pixels: RGB32, or Grayscale8.
int decode(jpeg_decompress_struct* cinfo, ErrorManager* err, SourceManager* src, const DecodeOptions* opt,
           QImage* out)
{
    cinfo->err = jpeg_std_error(&err->Pub);
    err->Pub.error_exit = errorExit;
    err->Pub.output_message = outputMessage;
    err->Code = 0;
    if (setjmp(err->Jump)) {
        jpeg_destroy_decompress(cinfo);
        return err->Code != 0 ? err->Code : -1;
    }
    jpeg_create_decompress(cinfo);
    src->Pub.init_source = initSource;
    src->Pub.fill_input_buffer = fillInputBuffer;
    src->Pub.skip_input_data = skipInputData;
    src->Pub.resync_to_restart = jpeg_resync_to_restart;
    src->Pub.term_source = termSource;
    src->Pub.bytes_in_buffer = 0;
    src->Pub.next_input_byte = nullptr;
    cinfo->src = &src->Pub;
    jpeg_read_header(cinfo, TRUE);
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    if (opt->Grayscale)
        cinfo->out_color_space = JCS_GRAYSCALE;
    else if (cmyk)
        cinfo->out_color_space = JCS_CMYK;
    else
        cinfo->out_color_space = JCS_RGB;
    cinfo->scale_num = 1;
    cinfo->scale_denom = unsigned(opt->ScaleDenom);
    if (opt->Fast) {
        cinfo->dct_method = JDCT_IFAST;
        cinfo->do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(cinfo);
    const int width = int(cinfo->output_width);
    const int height = int(cinfo->output_height);
    const int components = cinfo->output_components;
    *out = QImage(width, height, components == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    if (out->isNull())
        ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 JDIMENSION(width * components), 1);
    // Adobe writes CMYK inverted; that is what nearly every CMYK file is.
    const bool inverted = cmyk && cinfo->saw_Adobe_marker;
    while (cinfo->output_scanline < cinfo->output_height) {
        const int y = int(cinfo->output_scanline);
        jpeg_read_scanlines(cinfo, row, 1);
        const JSAMPLE* s = row[0];
        if (components == 1) {
            std::copy(s, s + width, out->scanLine(y));
            continue;
        }
        auto* line = reinterpret_cast<QRgb*>(out->scanLine(y));
        for (int x = 0; x < width; ++x, s += components) {
            if (components == 4) {
                int c = s[0], m = s[1], yy = s[2], k = s[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    yy = 255 - yy;
                    k = 255 - k;
                }
                line[x] = qRgb(c * k / 255, m * k / 255, yy * k / 255);
            } else {
                line[x] = qRgb(s[0], s[1], s[2]);
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    return 0;
}

struct EncodeOptions {
    int Quality;
    bool Grayscale;
    bool Progressive;
};

int encode(jpeg_compress_struct* cinfo, ErrorManager* err, DestinationManager* dest, const EncodeOptions* opt,
           const QImage* image)
{
    cinfo->err = jpeg_std_error(&err->Pub);
    err->Pub.error_exit = errorExit;
    err->Pub.output_message = outputMessage;
    err->Code = 0;
    if (setjmp(err->Jump)) {
        jpeg_destroy_compress(cinfo);
        return err->Code != 0 ? err->Code : -1;
    }
    jpeg_create_compress(cinfo);
    dest->Pub.init_destination = initDestination;
    dest->Pub.empty_output_buffer = emptyOutputBuffer;
    dest->Pub.term_destination = termDestination;
    cinfo->dest = &dest->Pub;
    cinfo->image_width = JDIMENSION(image->width());
    cinfo->image_height = JDIMENSION(image->height());
    cinfo->input_components = opt->Grayscale ? 1 : 3;
    cinfo->in_color_space = opt->Grayscale ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, opt->Quality, TRUE);
    cinfo->density_unit = 1;
    cinfo->X_density = 96;
    cinfo->Y_density = 96;
    if (opt->Progressive)
        jpeg_simple_progression(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    const int width = image->width();
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 JDIMENSION(width * cinfo->input_components), 1);
    while (cinfo->next_scanline < cinfo->image_height) {
        const auto* line = reinterpret_cast<const QRgb*>(image->constScanLine(int(cinfo->next_scanline)));
        JSAMPLE* d = row[0];
        for (int x = 0; x < width; ++x) {
            if (opt->Grayscale) {
                *d++ = JSAMPLE(qGray(line[x]));
            } else {
                *d++ = JSAMPLE(qRed(line[x]));
                *d++ = JSAMPLE(qGreen(line[x]));
                *d++ = JSAMPLE(qBlue(line[x]));
            }
        }
        jpeg_write_scanlines(cinfo, row, 1);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return 0;
}

[[noreturn]] void fail(int code, const std::exception_ptr& failure)
{
    if (failure)
        std::rethrow_exception(failure);
    throw EJPEG(LoadResString(GraphicsConsts::SJPEGError), {code});
}

}  // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(const TPersistent* Source)
{
    if (Source == nullptr) {
        FImage = QImage();
        Changed();
        return;
    }
    if (const auto* j = dynamic_cast<const TJPEGImage*>(Source)) {
        if (j == this)
            return;
        FImage = j->FImage;
        FQuality = j->FQuality;
        FGrayscale = j->FGrayscale;
        FProgressive = j->FProgressive;
        FScale = j->FScale;
        FPerformance = j->FPerformance;
        Changed();
        return;
    }
    if (const auto* g = dynamic_cast<const TGraphic*>(Source)) {
        const QImage image = g->ToImage();
        FImage = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::SetWidth(int)
{
    throw EInvalidGraphicOperation(LoadResString(GraphicsConsts::SChangeJPGSize));
}

void TJPEGImage::SetHeight(int)
{
    throw EInvalidGraphicOperation(LoadResString(GraphicsConsts::SChangeJPGSize));
}

void TJPEGImage::SetCompressionQuality(TJPEGQualityRange Value)
{
    FQuality = std::clamp(Value, 1, 100);
}

void TJPEGImage::SetGrayscale(bool Value)
{
    if (Value == FGrayscale)
        return;
    FGrayscale = Value;
    Changed();
}

void TJPEGImage::LoadFromStream(TStream* Stream)
{
    std::exception_ptr failure;
    auto src = std::make_unique<SourceManager>();
    src->Stream = Stream;
    src->Failure = &failure;
    src->StartOfFile = true;
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    const DecodeOptions opt{FGrayscale, 1 << int(FScale), FPerformance == jpBestSpeed};
    QImage image;
    const int code = decode(&cinfo, &err, src.get(), &opt, &image);
    if (code != 0 || failure)
        fail(code, failure);
    FImage = std::move(image);
    Changed();
}

void TJPEGImage::SaveToStream(TStream* Stream) const
{
    if (FImage.isNull())
        throw EJPEG(LoadResString(GraphicsConsts::SJPEGError), {int(JERR_EMPTY_IMAGE)});
    const QImage image = FImage.convertToFormat(QImage::Format_RGB32);
    std::exception_ptr failure;
    auto dest = std::make_unique<DestinationManager>();
    dest->Stream = Stream;
    dest->Failure = &failure;
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    const EncodeOptions opt{FQuality, FGrayscale, FProgressive};
    const int code = encode(&cinfo, &err, dest.get(), &opt, &image);
    if (code != 0 || failure)
        fail(code, failure);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) const
{
    if (ACanvas != nullptr && !FImage.isNull())
        DrawImage(ACanvas->Handle(), Rect, FImage);
}

std::unique_ptr<TGraphic> TJPEGImage::clone() const
{
    auto copy = std::make_unique<TJPEGImage>();
    copy->Assign(this);
    return copy;
}
