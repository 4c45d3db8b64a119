#include "JpegCompressor.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>

// jpeglib.h uses FILE without including its header.
#include <jerror.h>
#include <jpeglib.h>

namespace {

// libjpeg reports a failure through error_exit, which must not return: it
// jumps back to the call that began the work, which then gives up.
struct TErrorManager
{
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

[[noreturn]] void JumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TErrorManager*>(info->err)->Jump, 1);
}

// Warnings are not printed.
void Quiet(j_common_ptr) {}

// The output goes into a TJpegBuffer that grows as the encoder fills it.
struct TDestination
{
    jpeg_destination_mgr Manager;
    TJpegBuffer* Out;
};

constexpr size_t FirstCapacity = size_t(64) << 10;
// Rows handed to libjpeg at a time: one row of 4:2:0 MCUs.
constexpr int RowsAtATime = 16;

bool Grow(TJpegBuffer& out, size_t capacity)
{
    void* grown = std::realloc(out.Data, capacity);
    if (!grown)
        return false;
    out.Data = static_cast<unsigned char*>(grown);
    out.Capacity = capacity;
    return true;
}

TJpegBuffer& OutOf(j_compress_ptr info)
{
    return *reinterpret_cast<TDestination*>(info->dest)->Out;
}

void InitDestination(j_compress_ptr info)
{
    TJpegBuffer& out = OutOf(info);
    out.Size = 0;
    if (out.Capacity == 0 && !Grow(out, FirstCapacity))
        ERREXIT(info, JERR_OUT_OF_MEMORY);
    info->dest->next_output_byte = out.Data;
    info->dest->free_in_buffer = out.Capacity;
}

// Called when the whole buffer is full.
boolean EmptyOutputBuffer(j_compress_ptr info)
{
    TJpegBuffer& out = OutOf(info);
    const size_t used = out.Capacity;
    if (!Grow(out, 2 * used))
        ERREXIT(info, JERR_OUT_OF_MEMORY);
    info->dest->next_output_byte = out.Data + used;
    info->dest->free_in_buffer = out.Capacity - used;
    return TRUE;
}

void TermDestination(j_compress_ptr info)
{
    TJpegBuffer& out = OutOf(info);
    out.Size = out.Capacity - info->dest->free_in_buffer;
}

} // namespace

TJpegBuffer::TJpegBuffer(TJpegBuffer&& other) noexcept
    : Data(other.Data), Size(other.Size), Capacity(other.Capacity)
{
    other.Data = nullptr;
    other.Size = 0;
    other.Capacity = 0;
}

TJpegBuffer& TJpegBuffer::operator=(TJpegBuffer&& other) noexcept
{
    if (this != &other) {
        Clear();
        std::swap(Data, other.Data);
        std::swap(Size, other.Size);
        std::swap(Capacity, other.Capacity);
    }
    return *this;
}

TJpegBuffer::~TJpegBuffer()
{
    std::free(Data);
}

void TJpegBuffer::Clear()
{
    std::free(Data);
    Data = nullptr;
    Size = 0;
    Capacity = 0;
}

struct TJpegCompressor::TState
{
    jpeg_compress_struct Info{};
    TErrorManager Error{};
    TDestination Destination{};
    bool Created = false;
};

namespace {

// The functions that call setjmp hold nothing that a jump back would have to
// destroy.

bool Create(jpeg_compress_struct& info, TErrorManager& error)
{
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JumpBack;
    error.Manager.output_message = Quiet;
    if (setjmp(error.Jump))
        return false;
    jpeg_create_compress(&info);
    return true;
}

bool Encode(jpeg_compress_struct& info, TErrorManager& error, const uchar* rows, int width,
            qsizetype stride, int height, int quality)
{
    if (setjmp(error.Jump))
        return false;
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.dct_method = JDCT_ISLOW;
    jpeg_set_colorspace(&info, JCS_YCbCr);
    // What TurboJPEG would take from its environment variables: Huffman
    // tables of the standard, not optimised; no arithmetic coding; no
    // restart markers; one sequential scan.
    info.optimize_coding = FALSE;
    info.arith_code = FALSE;
    info.restart_interval = 0;
    info.restart_in_rows = 0;
    info.scan_info = nullptr;
    info.num_scans = 0;
    // 4:2:0: luma at full resolution, chroma at half in both directions.
    info.comp_info[0].h_samp_factor = 2;
    info.comp_info[0].v_samp_factor = 2;
    for (int c = 1; c < 3; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }

    jpeg_start_compress(&info, TRUE);
    JSAMPROW chunk[RowsAtATime];
    while (info.next_scanline < info.image_height) {
        const JDIMENSION first = info.next_scanline;
        const JDIMENSION count =
            std::min<JDIMENSION>(RowsAtATime, info.image_height - info.next_scanline);
        for (JDIMENSION i = 0; i < count; ++i)
            chunk[i] = const_cast<JSAMPROW>(rows + qsizetype(first + i) * stride);
        jpeg_write_scanlines(&info, chunk, count);
    }
    jpeg_finish_compress(&info);
    return true;
}

} // namespace

// Nothing here raises: the bands are encoded on threads of their own.
TJpegCompressor::TJpegCompressor() : m_state(new (std::nothrow) TState)
{
    if (!m_state)
        return;
    TState& state = *m_state;
    if (!Create(state.Info, state.Error)) {
        jpeg_destroy_compress(&state.Info);
        return;
    }
    state.Created = true;
    state.Destination.Manager.init_destination = InitDestination;
    state.Destination.Manager.empty_output_buffer = EmptyOutputBuffer;
    state.Destination.Manager.term_destination = TermDestination;
    state.Info.dest = &state.Destination.Manager;
}

TJpegCompressor::~TJpegCompressor()
{
    if (m_state && m_state->Created)
        jpeg_destroy_compress(&m_state->Info);
}

bool TJpegCompressor::Ready() const
{
    return m_state && m_state->Created;
}

bool TJpegCompressor::Compress(const uchar* Rows, int Width, qsizetype Stride, int Height,
                               int Quality, TJpegBuffer& Out)
{
    Out.Size = 0;
    if (!Ready() || Width <= 0 || Height <= 0)
        return false;
    TState& state = *m_state;
    state.Destination.Out = &Out;
    const bool done = Encode(state.Info, state.Error, Rows, Width, Stride, Height, Quality);
    state.Destination.Out = nullptr;
    if (!done) {
        // Ready for the next picture.
        jpeg_abort_compress(&state.Info);
        Out.Clear();
    }
    return done;
}
