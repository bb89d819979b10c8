// Choice of the image reader or writer by file extension, and the files themselves.
#include "graphics/image_files.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "core/mobu_error.h"
#include "core/byte_reader.h"
#include "platform/text_encoding.h"

namespace mobu {

namespace {

std::string LowerExtension(std::string_view name)
{
    size_t dot = name.rfind('.');
    size_t slash = name.find_last_of("\\/");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return "";
    std::string ext(name.substr(dot));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

}  // namespace

void LoadImageBytes(TDIBSurface& store, std::string_view extension, const uint8_t* data, size_t size,
                    TSaveOption& option)
{
    std::string ext = LowerExtension(extension);
    if (ext.empty() && !extension.empty() && extension[0] != '.') ext = LowerExtension(std::string(".") + std::string(extension));
    if (ext == ".tga") {
        ReadTgaFile(store, data, size, option);
    } else if (ext == ".ico" || ext == ".cur") {
        ReadIconFile(store, data, size, option);
    } else if (size >= 8 && data[0] == 0x89 && std::memcmp(data + 1, "PNG", 3) == 0) {
        ReadPngFile(store, data, size, option);
    } else if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        ReadJpegFile(store, data, size);
    } else {
        ReadBitmapFile(store, data, size, option);
    }
}

std::string SaveImageBytes(const TDIBSurface& store, std::string_view extension, const TImageSaveParams& params)
{
    std::string ext = LowerExtension(extension);
    if (ext.empty() && !extension.empty() && extension[0] != '.') ext = LowerExtension(std::string(".") + std::string(extension));
    if (ext == ".tga") return WriteTgaFile(store, params);
    if (ext == ".ico") return WriteIconFile(store, false, params);
    if (ext == ".cur") return WriteIconFile(store, true, params);
    if (ext == ".png") return WritePngFile(store, params);
    if (ext == ".jpg" || ext == ".jpeg") return WriteJpegFile(store, params);
    return WriteBitmapFile(store, params);
}

void LoadImageFile(TDIBSurface& store, const std::string& file_name, TSaveOption& option)
{
    store.Clear();
    std::ifstream file(Cp932ToUtf8(file_name), std::ios::binary);
    if (!file) throw EMobuError(ByteReader::DefaultFailureMessage());
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    LoadImageBytes(store, file_name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), option);
}

void SaveImageFile(const TDIBSurface& store, const std::string& file_name, const TImageSaveParams& params)
{
    std::string bytes = SaveImageBytes(store, file_name, params);
    std::ofstream file(Cp932ToUtf8(file_name), std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw EMobuError(ByteReader::DefaultFailureMessage());
}

void TDIBSurface::LoadFromFile(const std::string& file_name)
{
    TSaveOption option;
    LoadImageFile(*this, file_name, option);
}

void TDIBSurface::SaveToFile(const std::string& file_name) const
{
    TImageSaveParams params;
    params.Alpha = AlphaPlane();
    SaveImageFile(*this, file_name, params);
}

}  // namespace mobu
