// The encoder object's output: the file in memory, or written to disk.
#include <cerrno>
#include <exception>
#include <filesystem>

#include "core/AtomicWrite.h"
#include "jpeg/JpegError.h"
#include "jpeg/JpegFileWriter.h"
#include "jpeg/cJpeg.h"

namespace {

[[noreturn]] void RaiseFileError(int error) {
    if (error == ENOENT || error == ENOTDIR) throw jpeg::JpegError(jpeg::kErrPathNotFound, "Path not found");
    if (error == ENOSPC) throw jpeg::JpegError(jpeg::kErrDiskFull, "Disk full");
    throw jpeg::JpegError(jpeg::kErrFileAccess, "Path/File access error");
}

}  // namespace

std::vector<std::uint8_t> cJpeg::EncodeToMemory() {
    const jpeg::ByteArray bytes = Assemble();
    return {bytes.begin(), bytes.end()};
}

std::int32_t cJpeg::SaveFile(const std::string& FileName) {
    if (FileName.empty()) return 1;
    std::error_code ec;
    // Anything under that name counts, a dangling link included: it is never replaced.
    const std::filesystem::file_type type = std::filesystem::symlink_status(FileName, ec).type();
    if (type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::none) return 2;

    // Written through a temporary file that never replaces a file, so a file
    // that appeared meanwhile survives and a half-written picture never shows.
    // The file is assembled straight into it, a megabyte at a time, so it is
    // never held whole in memory. An encoder error ends the write (nothing is
    // left behind) and is raised afterwards.
    std::exception_ptr failure;
    const int error =
        core::WriteFileAtomically(FileName, core::FileWriteMode::NewFileOnly, [&](core::FileSink& out) {
            const jpeg::ByteSink sink = [&out](const std::uint8_t* bytes, std::size_t size) {
                return out.Write(bytes, size);
            };
            try {
                return Assemble(sink);
            } catch (...) {
                failure = std::current_exception();
                return false;
            }
        });
    if (failure) std::rethrow_exception(failure);
    if (error == EEXIST) return 2;
    if (error != 0) RaiseFileError(error);
    return 0;
}
