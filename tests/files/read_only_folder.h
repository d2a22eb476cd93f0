// ReadOnlyFolder: makes a folder refuse new files (or a file refuse writes) for the life of the
// object, also for root (through the immutable flag), so that tests can make writes fail.
#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& path) : m_path(path.toLocal8Bit()) {
        if (geteuid() != 0) {
            m_changed = chmod(m_path.constData(), 0555) == 0;
        } else {
            m_changed = setImmutable(true);
        }
    }
    ~ReadOnlyFolder() {
        if (!m_changed) return;
        if (geteuid() != 0)
            chmod(m_path.constData(), 0755);
        else
            setImmutable(false);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // True when a file really cannot be created in the folder now.
    bool effective() const {
        if (!m_changed) return false;
        QFile probe(QString::fromLocal8Bit(m_path) + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            return false;
        }
        return true;
    }
    // True when the file really cannot be opened for writing now.
    bool fileLocked() const {
        QFile file(QString::fromLocal8Bit(m_path));
        return m_changed && !file.open(QIODevice::Append);
    }

private:
    bool setImmutable(bool on) {
        const int fd = open(m_path.constData(), O_RDONLY);
        if (fd < 0) return false;
        int flags = 0;
        bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (ok) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        close(fd);
        return ok;
    }

    QByteArray m_path;
    bool m_changed = false;
};
