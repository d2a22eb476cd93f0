#include "library_slots.h"

#include "../files/read_only_folder.h"
#include "library_files.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using Files = std::map<QString, QByteArray>;
using Operation = std::function<bool(LibrarySlots&, QString*)>;

// Bank 3 from a backup of device 3, bank 5 written by the editor, bank 6 cut short.
class LibrarySlotsTest : public ::testing::Test {
protected:
    LibrarySlotsTest() {
        fill(folder);
        before = folder.files();
    }
    void fill(const LibraryFolder& library) const {
        library.write(3, third);
        library.write(5, fifth);
        library.write(6, fifth.first(1000));
    }
    // The folder's files with the given banks' contents instead; nothing: the bank's file is gone.
    Files with(const std::map<int, std::optional<QByteArray>>& banks) const {
        Files files = before;
        for (const auto& [bank, content] : banks) {
            const QString name = library_folder::bankFileName(bank);
            if (content)
                files[name] = *content;
            else
                files.erase(name);
        }
        return files;
    }

    const QByteArray third = dumpOf("Third", 3);
    const QByteArray fifth = dumpOf("Fifth");
    LibraryFolder folder;
    LibrarySlots library{folder.path()};
    Files before;
};

TEST_F(LibrarySlotsTest, OperationsChangeTheFilesAndUndoAndRedoTakeThemBackAndForth) {
    BankRecord live = recordNamed("Third");
    live.setBankName("Live");
    struct Case {
        const char* text;
        Operation operation;
        std::map<int, std::optional<QByteArray>> after;
    };
    const Case cases[] = {
        {"Copy bank 3 to bank 12",
         [](auto& s, auto* e) { return s.copy(3, 12, e); },
         {{12, third}}},
        {"Copy bank 3 to bank 5", [](auto& s, auto* e) { return s.copy(3, 5, e); }, {{5, third}}},
        {"Swap banks 3 and 12",
         [](auto& s, auto* e) { return s.swap(3, 12, e); },
         {{3, std::nullopt}, {12, third}}},
        {"Swap banks 3 and 5",
         [](auto& s, auto* e) { return s.swap(3, 5, e); },
         {{3, fifth}, {5, third}}},
        {"Swap banks 6 and 7",
         [](auto& s, auto* e) { return s.swap(6, 7, e); },
         {{6, std::nullopt}, {7, fifth.first(1000)}}},
        {"Move bank 3 to bank 12",
         [](auto& s, auto* e) { return s.move(3, 12, e); },
         {{3, std::nullopt}, {12, third}}},
        {"Move bank 3 to bank 5",
         [](auto& s, auto* e) { return s.move(3, 5, e); },
         {{3, std::nullopt}, {5, third}}},
        // A clean dump: device id 0, as the editor writes it.
        {"Rename bank 3 to \"Live\"",
         [](auto& s, auto* e) { return s.rename(3, "Live", e); },
         {{3, dumpOf(live)}}},
    };
    for (const Case& c : cases) {
        LibraryFolder fresh;
        fill(fresh);
        LibrarySlots library(fresh.path());
        QString error;
        ASSERT_TRUE(c.operation(library, &error)) << c.text << ": " << error.toStdString();
        EXPECT_EQ(library.undoText(), c.text);
        EXPECT_EQ(fresh.files(), with(c.after)) << c.text;
        ASSERT_TRUE(library.undo(&error)) << c.text << ": " << error.toStdString();
        EXPECT_EQ(fresh.files(), before) << c.text;
        EXPECT_EQ(library.redoText(), c.text);
        EXPECT_FALSE(library.canUndo());
        ASSERT_TRUE(library.redo(&error)) << c.text << ": " << error.toStdString();
        EXPECT_EQ(fresh.files(), with(c.after)) << c.text;
    }
}

TEST_F(LibrarySlotsTest, RefusedOperationsSayWhyAndLeaveTheFolderAsItWas) {
    struct Case {
        Operation operation;
        const char* error;
    };
    const Case cases[] = {
        {[](auto& s, auto* e) { return s.copy(4, 12, e); }, "bank 4 is empty"},
        {[](auto& s, auto* e) { return s.copy(6, 12, e); }, "bank 6 holds no valid dump"},
        {[](auto& s, auto* e) { return s.copy(3, 3, e); }, "both slots are bank 3"},
        {[](auto& s, auto* e) { return s.move(0, 3, e); }, "there is no bank 0 (banks are 1..128)"},
        {[](auto& s, auto* e) { return s.move(3, 129, e); },
         "there is no bank 129 (banks are 1..128)"},
        {[](auto& s, auto* e) { return s.swap(7, 8, e); }, "banks 7 and 8 are both empty"},
        {[](auto& s, auto* e) { return s.rename(3, "Seventeen letters", e); },
         "a bank name holds at most 16 characters"},
        {[](auto& s, auto* e) { return s.rename(3, QString::fromUtf8("Caf\u00e9"), e); },
         "a bank name holds only letters, digits, punctuation and spaces of plain ASCII"},
        {[](auto& s, auto* e) { return s.rename(6, "Live", e); }, "bank 6 holds no valid dump"},
        {[](auto& s, auto* e) { return s.undo(e); }, "nothing to undo"},
        {[](auto& s, auto* e) { return s.redo(e); }, "nothing to redo"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(c.operation(library, &error)) << c.error;
        EXPECT_EQ(error.toStdString(), c.error);
        EXPECT_EQ(folder.files(), before) << c.error;
        EXPECT_FALSE(library.canUndo()) << c.error;
    }
}

// A write-protected file or folder stops an operation part-way: what was written is put back.
TEST_F(LibrarySlotsTest, AWriteThatFailsHalfwayPutsTheFolderBack) {
    struct Case {
        const char* name;
        QString locked; // a bank file, or the folder itself
        Operation operation;
        QString error;
    };
    const Case cases[] = {
        {"second file of a swap", folder.bankPath(5),
         [](auto& s, auto* e) { return s.swap(3, 5, e); }, "cannot write bank 5 ("},
        {"source of a move", folder.bankPath(3), [](auto& s, auto* e) { return s.move(3, 12, e); },
         "cannot write bank 3 ("},
        {"folder of a copy", folder.path(), [](auto& s, auto* e) { return s.copy(3, 12, e); },
         "cannot write bank 12 ("},
    };
    for (const Case& c : cases) {
        const ReadOnlyFolder lock(c.locked);
        if (!lock.effective() && !lock.fileLocked()) GTEST_SKIP() << "cannot write-protect";
        QString error;
        EXPECT_FALSE(c.operation(library, &error)) << c.name;
        EXPECT_TRUE(error.startsWith(c.error)) << c.name << ": " << error.toStdString();
        EXPECT_FALSE(error.contains("put back")) << c.name << ": " << error.toStdString();
        EXPECT_EQ(folder.files(), before) << c.name;
        EXPECT_FALSE(library.canUndo()) << c.name;
    }
}

TEST_F(LibrarySlotsTest, UndoThatFailsHalfwayKeepsTheStepForLater) {
    QString error;
    ASSERT_TRUE(library.swap(3, 5, &error));
    const Files swapped = folder.files();
    {
        // Undo writes bank 5 back first, then bank 3.
        const ReadOnlyFolder lock(folder.bankPath(3));
        if (!lock.fileLocked()) GTEST_SKIP() << "cannot write-protect";
        EXPECT_FALSE(library.undo(&error));
        EXPECT_TRUE(error.startsWith("cannot undo \"Swap banks 3 and 5\": cannot write bank 3"))
            << error.toStdString();
        EXPECT_EQ(folder.files(), swapped);
    }
    EXPECT_TRUE(library.undo(&error)) << error.toStdString();
    EXPECT_EQ(folder.files(), before);
}

// Undo and redo never overwrite what another program (a backup, an editor) wrote since.
TEST_F(LibrarySlotsTest, UndoAndRedoLeaveAFileChangedSinceAlone) {
    struct Case {
        bool undoFirst;
        const char* error;
    };
    const Case cases[] = {
        {false, "cannot undo \"Copy bank 3 to bank 12\": bank 12 has been changed meanwhile"},
        {true, "cannot redo \"Copy bank 3 to bank 12\": bank 12 has been changed meanwhile"},
    };
    for (const Case& c : cases) {
        LibrarySlots library(folder.path());
        QString error;
        ASSERT_TRUE(library.copy(3, 12, &error));
        if (c.undoFirst) {
            ASSERT_TRUE(library.undo(&error));
        }
        ASSERT_TRUE(folder.write(12, dumpOf("Fetched")));
        const Files changed = folder.files();
        EXPECT_FALSE(c.undoFirst ? library.redo(&error) : library.undo(&error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(folder.files(), changed);
        QFile::remove(folder.bankPath(12));
    }
}

TEST_F(LibrarySlotsTest, HistoryKeepsItsLastStepsAndANewOperationDropsRedo) {
    LibrarySlots library(folder.path(), 2);
    QString error;
    for (const char* name : {"One", "Two", "Three"})
        ASSERT_TRUE(library.rename(5, name, &error));
    EXPECT_TRUE(library.undo(&error));
    EXPECT_TRUE(library.undo(&error));
    EXPECT_FALSE(library.undo(&error));
    EXPECT_EQ(library_folder::readBankFile(folder.bankPath(5))->bankName(), "One");
    EXPECT_EQ(library.redoText(), "Rename bank 5 to \"Two\"");
    ASSERT_TRUE(library.copy(3, 9, &error));
    EXPECT_FALSE(library.canRedo());
    EXPECT_EQ(library.undoText(), "Copy bank 3 to bank 9");
}

} // namespace
