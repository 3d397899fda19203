// The search index's segments are merged in small steps between the
// batches, never a whole level at once inside a batch that posting waits
// for.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestDatabase.h"
#include "board/search/SearchIndexQueue.h"
#include "platform/Recordset.h"

namespace {

using platform::Variant;

class SearchIndexMergeTest : public ::testing::Test {
protected:
    // A post of its own words: `size` numbers from `first` on.
    void Post(int id, int size) {
        std::string message;
        for (int i = 0; i < size; ++i) message += std::to_string(id * 7919 + i * 104729) + " ";
        db.con.Execute("insert into post (postid, forumname, username, subject, message) values (?, 'General', 'erin', ?, ?)",
                       {id, "post " + std::to_string(id), message});
    }
    // Indexes one queued post as a segment of its own, with no merging.
    void IndexAlone(int id) {
        db.con.Execute("insert into post_words (rowid, subject, message) "
                       "select postid, subject, message from post where postid = ?",
                       {id});
        db.con.Execute("delete from post_words_pending where postid = ?", {id});
    }
    long long Segments() {
        platform::Recordset rs;
        rs.Open("select count(distinct segid) from post_words_idx", db.con);
        return static_cast<long long>(rs.Fields(0).toDouble());
    }
    void ExpectIndexMatchesRows() {
        EXPECT_NO_THROW(db.con.Execute("insert into post_words (post_words, rank) values ('integrity-check', 1)"));
    }

    TestDatabase db;
};

// Posts one at a time, each its own batch: the segments are merged as they
// come, so none piles up to a level merged whole inside a later batch.
TEST_F(SearchIndexMergeTest, BatchesLeaveFewSegments) {
    long long most = 0;
    for (int id = 1; id <= 100; ++id) {
        Post(id, 20);
        board::IndexQueuedPosts(db.con);
        most = std::max(most, Segments());
    }
    EXPECT_LE(most, 16);  // a few a level, where a level held up to 63 before it was merged whole
    ExpectIndexMatchesRows();
}

// A level of many large segments is merged over many steps of about the
// pages asked for each, none doing much of the level's work at once (the
// one that ends the merge also drops the index rows of its inputs).
TEST_F(SearchIndexMergeTest, AMergeStepDoesABoundedShareOfTheWork) {
    constexpr int kSegments = 16, kPages = 8;
    for (int id = 1; id <= kSegments; ++id) {
        Post(id, 2000);
        IndexAlone(id);
    }
    ASSERT_EQ(Segments(), kSegments);
    std::vector<long long> steps;
    while (const long long rows = board::MergeIndexStep(db.con, kPages)) {
        steps.push_back(rows);
        ASSERT_LT(steps.size(), 1000u);
    }
    long long level = 0;
    for (long long rows : steps) level += rows;
    EXPECT_GT(steps.size(), 4u);
    EXPECT_LT(*std::max_element(steps.begin(), steps.end()) * 3, level);
    EXPECT_LT(Segments(), kSegments);
    ExpectIndexMatchesRows();
}

}  // namespace
