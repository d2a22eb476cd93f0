#include "transfer_progress.h"

#include <gtest/gtest.h>

using Kind = TransferProgress::Kind;
using Ending = TransferProgress::Ending;

TEST(TransferProgress, EndLineSaysHowTheTransferEnded) {
    const struct {
        Kind kind;
        int blocksDone, acknowledges;
        Ending ending;
        std::string line;
    } cases[] = {
        {Kind::Upload, 8, 8, Ending::Complete,
         "Upload of bank 5 complete: 8 of 8 blocks acknowledged"},
        {Kind::Upload, 8, 0, Ending::Complete,
         "Upload of bank 5 complete: 0 of 8 blocks acknowledged"},
        {Kind::Upload, 8, 9, Ending::Complete,
         "Upload of bank 5 complete: 8 of 8 blocks acknowledged"},
        {Kind::Upload, 3, 3, Ending::Cancelled,
         "Upload of bank 5 cancelled after block 3 of 8: the bank in the controller is "
         "incomplete"},
        {Kind::Upload, 0, 0, Ending::Cancelled,
         "Upload of bank 5 cancelled before the first block: the bank in the controller is "
         "unchanged"},
        {Kind::Upload, 2, 2, Ending::Failed,
         "Upload of bank 5 failed after block 2 of 8: the bank in the controller is incomplete"},
        {Kind::Request, 8, 0, Ending::Complete, "Request of bank 5 complete"},
        {Kind::Request, 2, 0, Ending::Cancelled, "Request of bank 5 cancelled"},
        {Kind::Request, 0, 0, Ending::NoAnswer, "Request of bank 5: no answer within 5 s"},
        {Kind::Request, 3, 0, Ending::NoAnswer, "Request of bank 5: only 3 of 8 blocks within 5 s"},
        {Kind::Request, 8, 0, Ending::NotTaken, "Request of bank 5: the answer was not taken"},
        {Kind::Request, 0, 0, Ending::Failed, "Request of bank 5 failed"},
    };
    for (const auto& c : cases) {
        TransferProgress progress(c.kind, 5, 8, 2120, 7000);
        progress.setDone(c.blocksDone, c.blocksDone * 265);
        for (int i = 0; i < c.acknowledges; ++i)
            progress.acknowledged();
        EXPECT_EQ(progress.endLine(c.ending, 5), c.line);
    }
}

TEST(TransferProgress, StateShowsBlocksBytesAndTheTimeLeft) {
    TransferProgress upload(Kind::Upload, 12, 8, 2120, 7000);
    EXPECT_EQ(upload.stateText(), "Upload of bank 12: changing the bank");
    EXPECT_EQ(upload.timeLeftText(0), "about 7 s left");
    upload.setDone(3, 795);
    EXPECT_EQ(upload.stateText(), "Upload of bank 12: block 3 of 8");
    EXPECT_EQ(upload.percent(), 37);
    EXPECT_EQ(upload.timeLeftText(2001), "about 5 s left"); // rounded up: never "0 s" too soon
    EXPECT_EQ(upload.timeLeftText(9000), "about 0 s left");
    upload.setDone(99, 99999); // more than the dump holds
    EXPECT_EQ(upload.percent(), 100);
    EXPECT_EQ(upload.blocksDone(), 8);

    TransferProgress request(Kind::Request, 1, 8, 2120, 6000);
    request.setDone(2, 530);
    EXPECT_EQ(request.stateText(), "Request of bank 1: 2 of 8 blocks");
    EXPECT_EQ(request.timeLeftText(1500), "at most 5 s left");
}
