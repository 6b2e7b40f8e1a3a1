#include "platform/files/FileMessage.h"

#include "resources/ResourceIds.h"
#include "resources/Strings.h"

#include <QDir>
#include <QFileInfo>

namespace kivo {

using namespace res;

QString FileReasonText(const FileError &error)
{
    // Byte positions are told counted from 1, as a user counts them.
    const auto byte = [&error] { return QString::number(error.offset + 1); };
    switch (error.Reason()) {
    case FileReason::NotFound:
        return LoadString(IDS_REASON_NOT_FOUND);
    case FileReason::NoPermission:
        return LoadString(IDS_REASON_NO_PERMISSION);
    case FileReason::Folder:
        return LoadString(IDS_REASON_FOLDER);
    case FileReason::ReadOnlyFileSystem:
        return LoadString(IDS_REASON_READ_ONLY_FS);
    case FileReason::DiskFull:
        return LoadString(IDS_REASON_DISK_FULL);
    case FileReason::NulCharacter:
        return LoadString(IDS_REASON_NUL_CHARACTER).arg(byte());
    case FileReason::NotInAnyEncoding:
        return LoadString(IDS_REASON_NO_ENCODING).arg(byte());
    case FileReason::TooLarge:
        return LoadString(IDS_REASON_TOO_LARGE).arg(kMostFileBytes >> 20);
    case FileReason::OutOfMemory:
        return LoadString(IDS_REASON_NO_MEMORY);
    case FileReason::DamagedRichText:
        return LoadString(IDS_REASON_DAMAGED_RTF);
    case FileReason::NamedPipe:
        return LoadString(IDS_REASON_FIFO);
    case FileReason::Socket:
        return LoadString(IDS_REASON_SOCKET);
    case FileReason::Device:
        return LoadString(IDS_REASON_DEVICE);
    case FileReason::DamagedArchive:
        return LoadString(IDS_REASON_DAMAGED_ZIP);
    case FileReason::ArchiveBomb:
        return LoadString(IDS_REASON_ZIP_BOMB).arg(kMostInflatedBytes >> 20).arg(kMostInflateRatio);
    case FileReason::DocumentType:
        return LoadString(IDS_REASON_XML_DTD);
    case FileReason::MissingPart:
        return LoadString(IDS_REASON_NO_BODY);
    case FileReason::DamagedXml:
        return LoadString(IDS_REASON_DAMAGED_XML);
    case FileReason::BrokenUtf8:
        return LoadString(IDS_REASON_BROKEN_UTF8).arg(byte());
    case FileReason::BrokenUtf16:
        return LoadString(IDS_REASON_BROKEN_UTF16).arg(byte());
    case FileReason::ExpandsTooFar:
        return LoadString(IDS_REASON_EXPANDS).arg(kMostProducedRatio);
    case FileReason::EncryptedArchive:
        return LoadString(IDS_REASON_ENCRYPTED_ZIP);
    case FileReason::UnknownCompression:
        return LoadString(IDS_REASON_ZIP_METHOD);
    case FileReason::EncryptedPdf:
        return LoadString(IDS_REASON_PDF_PASSWORD);
    case FileReason::PdfWithoutText:
        return LoadString(IDS_REASON_PDF_NO_TEXT);
    case FileReason::DamagedPdf:
        return LoadString(IDS_REASON_DAMAGED_PDF);
    case FileReason::PdfTooComplex:
        return LoadString(IDS_REASON_PDF_TOO_COMPLEX);
    case FileReason::Stopped:
    case FileReason::Other:
        break;
    }
    if (error.code == 0)
        return LoadString(IDS_REASON_UNEXPECTED);
    return LoadString(IDS_REASON_SYSTEM_ERROR).arg(error.code).arg(error.message);
}

QString FileErrorMessage(FileAction action, const QString &path, const FileError &error)
{
    const QString name = QDir::toNativeSeparators(path);
    QString message;
    switch (action) {
    case FileAction::Open:
        message = LoadString(IDP_FAILED_TO_OPEN_DOC).arg(name);
        break;
    case FileAction::Save:
        message = LoadString(IDP_FAILED_TO_SAVE_DOC).arg(name);
        break;
    }
    message += u'\n' + FileReasonText(error) + u'\n';
    if (action == FileAction::Save) {
        // A failed save leaves a file at path as it was, or makes none. Of a folder or a device
        // (written in place) nothing is said.
        const QFileInfo target(path);
        if (target.isFile())
            message += LoadString(IDS_OLD_FILE_KEPT) + u'\n';
        else if (!target.exists() && !target.isSymLink())
            message += LoadString(IDS_NO_FILE_WRITTEN) + u'\n';
    }
    return message + LoadString(IDS_TEXT_KEPT);
}

} // namespace kivo
