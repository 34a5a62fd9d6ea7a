#include "database.h"

#include <gtest/gtest.h>

#include <fstream>

#include "service_test_support.h"

namespace xuan5::service {
namespace {

using testing::TempDir;

TEST(Database, RecentDrawsAreOrderedByDateThenPeriodPerRegion) {
    TempDir dir;
    Database db(dir.File("d.db"));
    // Stored out of order, and period 10 after period 9 (not "10" < "9" as text).
    db.StoreDraws(
        1,
        {Draw{"2024-05-06", 9, {1, 2, 3, 4, 5}}, Draw{"2024-05-07", 1, {2, 3, 4, 5, 6}},
         Draw{"2024-05-06", 10, {3, 4, 5, 6, 7}}, Draw{"2023-12-31", 42, {4, 5, 6, 7, 8}}},
        Database::OnConflict::kKeep);
    db.StoreDraws(2, {Draw{"2024-06-01", 1, {11, 10, 9, 8, 7}}}, Database::OnConflict::kKeep);

    const auto recent = db.RecentDraws(1, 3);
    ASSERT_EQ(recent.size(), 3u);
    EXPECT_EQ(recent[0], (Draw{"2024-05-07", 1, {2, 3, 4, 5, 6}}));
    EXPECT_EQ(recent[1], (Draw{"2024-05-06", 10, {3, 4, 5, 6, 7}}));
    EXPECT_EQ(recent[2], (Draw{"2024-05-06", 9, {1, 2, 3, 4, 5}}));
    EXPECT_EQ(db.RecentDraws(2, 120).size(), 1u);
    EXPECT_TRUE(db.RecentDraws(3, 120).empty());
}

TEST(Database, KeepLeavesExistingDrawsAndReplaceOverwritesThem) {
    TempDir dir;
    Database db(dir.File("d.db"));
    const Draw first{"2024-05-06", 1, {1, 2, 3, 4, 5}};
    const Draw other{"2024-05-06", 1, {7, 8, 9, 10, 11}};
    EXPECT_EQ(db.StoreDraws(1, {first}, Database::OnConflict::kKeep), 1);
    EXPECT_EQ(db.StoreDraws(1, {other}, Database::OnConflict::kKeep), 0);
    EXPECT_EQ(db.RecentDraws(1, 1)[0], first);
    EXPECT_EQ(db.StoreDraws(1, {other}, Database::OnConflict::kReplace), 1);
    EXPECT_EQ(db.RecentDraws(1, 1)[0], other);
}

TEST(Database, AFailingDrawLeavesTheWholeBatchUnstored) {
    TempDir dir;
    Database db(dir.File("d.db"));
    const std::vector<Draw> batch = {Draw{"2024-05-06", 1, {1, 2, 3, 4, 5}},
                                     Draw{"2024-05-06", 1000, {1, 2, 3, 4, 5}}};
    EXPECT_THROW(db.StoreDraws(1, batch, Database::OnConflict::kKeep), DatabaseError);
    EXPECT_THROW(db.StoreDraws(1, batch, Database::OnConflict::kReplace), DatabaseError);
    EXPECT_THROW(db.StoreDraws(0, {batch[0]}, Database::OnConflict::kReplace), DatabaseError);
    for (const Draw& bad :
         {Draw{"2024-5-6", 1, {1, 2, 3, 4, 5}}, Draw{"2024-05-06", 1, {1, 2, 3, 4, 4}},
          Draw{"2024-05-06", 1, {0, 2, 3, 4, 5}}}) {
        EXPECT_THROW(db.StoreDraws(1, {batch[0], bad}, Database::OnConflict::kKeep), DatabaseError);
    }
    EXPECT_TRUE(db.RecentDraws(1, 10).empty());
    // The connection is usable afterwards: no transaction was left open.
    EXPECT_EQ(db.StoreDraws(1, {batch[0]}, Database::OnConflict::kKeep), 1);
}

TEST(Database, UsersAreFoundByDigestAndNamesAreUnique) {
    TempDir dir;
    Database db(dir.File("d.db"));
    EXPECT_TRUE(db.AddUser("alice", "digest-a"));
    EXPECT_TRUE(db.AddUser("bob", "digest-b"));
    EXPECT_FALSE(db.AddUser("alice", "digest-c"));
    const auto alice = db.FindUser("digest-a");
    const auto bob = db.FindUser("digest-b");
    ASSERT_TRUE(alice && bob);
    EXPECT_NE(*alice, *bob);
    EXPECT_FALSE(db.FindUser("digest-c"));
    EXPECT_FALSE(db.FindUser(""));
}

TEST(Database, SettingsKeepEveryByteAndBelongToOneUserEach) {
    TempDir dir;
    const std::string path = dir.File("d.db");
    const std::string odd_record = std::string("*sz*a\0b", 7) + "\xE5\xB1\xB1 %&#\xFF*sz*";
    {
        Database db(path);
        db.AddUser("alice", "a");
        db.AddUser("bob", "b");
        const auto alice = *db.FindUser("a");
        const auto bob = *db.FindUser("b");
        EXPECT_FALSE(db.LoadSettings(alice));
        db.SaveSettings(alice, "first");
        db.SaveSettings(alice, odd_record);
        db.SaveSettings(bob, "");
        EXPECT_EQ(db.LoadSettings(alice), odd_record);
        EXPECT_EQ(db.LoadSettings(bob), "");
    }
    Database reopened(path);
    EXPECT_EQ(reopened.LoadSettings(*reopened.FindUser("a")), odd_record);
    EXPECT_EQ(reopened.IntegrityCheck(), "ok");
}

TEST(Database, DataVersionMovesOnlyForOtherConnectionsWrites) {
    TempDir dir;
    Database server(dir.File("d.db"));
    Database importer(dir.File("d.db"));
    const auto before = server.DataVersion();
    server.StoreDraws(1, {Draw{"2024-05-06", 1, {1, 2, 3, 4, 5}}}, Database::OnConflict::kKeep);
    EXPECT_EQ(server.DataVersion(), before);
    importer.StoreDraws(1, {Draw{"2024-05-06", 2, {1, 2, 3, 4, 5}}},
                        Database::OnConflict::kReplace);
    EXPECT_NE(server.DataVersion(), before);
    EXPECT_EQ(server.RecentDraws(1, 5).size(), 2u);
}

TEST(Database, RefusesAFileThatIsNotADatabase) {
    TempDir dir;
    const std::string path = dir.File("not.db");
    {
        std::ofstream junk(path);
        junk << std::string(4096, 'j');
    }
    EXPECT_THROW(Database{path}, DatabaseError);
    EXPECT_THROW(Database{dir.File("missing-folder/d.db")}, DatabaseError);
}

}  // namespace
}  // namespace xuan5::service
