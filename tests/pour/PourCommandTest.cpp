// The built `datapack pour` on catalogue/: the plan after an accepted over-pour, worked
// out by hand from the recipe text of row 0 for purpose 4 at 500 g, pastes added while
// tinting, a bad reading and an unknown paste; batches appended to a journal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "journal/JournalStore.h"
#include "journal/posix/PosixJournalFile.h"

#include "tests/support/RunCommand.h"

namespace lacqueron {
namespace {

test::CommandResult Datapack(const std::string& arguments) {
    return test::RunCommand(test::DatapackOnShippedSources("pour") + "--row 0 --purpose 4 --unit g --amount 500 " +
                            arguments);
}

// The white paste takes 58.52 for 53.13: f = 58.52 / 53.13 = 1.10145; the pastes left
// become 0.14, 0.08 and 0.22, the base 491.78, topped up by 45.30.
TEST(PourCommand, PrintsThePlanAfterTheReadings) {
    const test::CommandResult run = Datapack("--accept 446.48 505");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "step\tОснова для пластика глянцевая\t446.48\t446.48\t446.48\tготово\n"
              "step\tПаста белая (диоксид титана)\t53.13\t499.61\t505.00\tперелив\n"
              "step\tПаста жёлтая (органическая)\t0.14\t505.14\t-\tждёт\n"
              "step\tПаста красная (органическая)\t0.08\t505.22\t-\tждёт\n"
              "step\tПаста ультрамариновая (ультрамарин)\t0.22\t505.44\t-\tждёт\n"
              "top-up\tОснова для пластика глянцевая\t45.30\t550.74\t-\tдолить\n"
              "total\t550.74\n"
              "correction\t1.1014\t550.74\taccepted\n");
}

// A slip of 505 taken back with its correction; the last pigment's 0.99 over its 0.20
// would make 2975.06 g (f = 1.19 / 0.20 = 5.95), which a 520 g can does not hold.
TEST(PourCommand, UndoAndACanTooSmallForTheCorrection) {
    const test::CommandResult run = Datapack("--capacity 520 --accept 446.48 505 undo 499.61 499.74 499.81 501");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "step\tОснова для пластика глянцевая\t446.48\t446.48\t446.48\tготово\n"
              "step\tПаста белая (диоксид титана)\t53.13\t499.61\t499.61\tготово\n"
              "step\tПаста жёлтая (органическая)\t0.13\t499.74\t499.74\tготово\n"
              "step\tПаста красная (органическая)\t0.07\t499.81\t499.81\tготово\n"
              "step\tПаста ультрамариновая (ультрамарин)\t0.20\t500.01\t501.00\tперелив\n"
              "total\t501.00\n"
              "correction\t5.9500\t2975.06\ttoo-large\n");
}

// 0.30 g of red added after the base: it pours first and the white paste follows from
// 446.78; once finished, 0.50 g of yellow makes the batch wait for one more reading.
TEST(PourCommand, PastesAddedWhilePouringAndAfterTheFinish) {
    const test::CommandResult run = Datapack("446.48 add red 0,30 446.78 499.91 500.04 500.11 500.31 add YEL 0.5");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "step\tОснова для пластика глянцевая\t446.48\t446.48\t446.48\tготово\n"
              "addition\tПаста красная (органическая)\t0.30\t446.78\t446.78\tготово\n"
              "step\tПаста белая (диоксид титана)\t53.13\t499.91\t499.91\tготово\n"
              "step\tПаста жёлтая (органическая)\t0.13\t500.04\t500.04\tготово\n"
              "step\tПаста красная (органическая)\t0.07\t500.11\t500.11\tготово\n"
              "step\tПаста ультрамариновая (ультрамарин)\t0.20\t500.31\t500.31\tготово\n"
              "addition\tПаста жёлтая (органическая)\t0.50\t500.81\t-\tждёт\n"
              "total\t500.81\n");
}

TEST(PourCommand, UnknownPasteIsNamedOnStderr) {
    const test::CommandResult run = Datapack("446.48 add XYZ 1 2>&1 >/dev/null");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "datapack: cannot add XYZ: no paste has the code XYZ\n");
}

TEST(PourCommand, BadReadingIsNamedOnStderr) {
    const test::CommandResult run = Datapack("--resolution 0.1 446.48 4x6 2>&1 >/dev/null");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "datapack: bad reading 4x6: not a number\n");
}

// Two benches' batches appended as the weighing writes them: one finished, one left after
// the base; each its own batch with what was poured.
TEST(PourCommand, AppendsTheBatchToAJournal) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("lacqueron-pour-" + std::to_string(::getpid()) + ".lqj"))
                                 .string();
    std::filesystem::remove(path);
    EXPECT_EQ(Datapack("--journal " + path + " 446.48 499.61 499.74 499.81 500.01").status, 0);
    EXPECT_EQ(Datapack("--journal " + path + " 446.48").status, 0);
    JournalStore journal(OpenPosixJournalFile(path));
    ASSERT_EQ(journal.Load(), JournalLoadResult::Loaded);
    const JournalContents& contents = journal.Contents();
    ASSERT_EQ(contents.BatchCount(), 2u);
    EXPECT_TRUE(contents.Damage().empty());
    const BatchRecord done = contents.Batch(0);
    const BatchRecord left = contents.Batch(1);
    EXPECT_EQ(done.status, BatchStatus::Done);
    EXPECT_EQ(left.status, BatchStatus::Abandoned);
    EXPECT_NE(done.batchId, left.batchId);
    EXPECT_EQ(done.colourCode, left.colourCode);
    EXPECT_EQ(done.purpose, 4u);
    EXPECT_EQ(done.amount, 500);
    ASSERT_EQ(done.components.size(), 5u);
    EXPECT_EQ(done.components[0].poured, 44648);
    EXPECT_EQ(done.components[1].poured, 5313);
    EXPECT_EQ(left.components[0].poured, 44648);
    EXPECT_EQ(left.components[1].poured, 0);
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace lacqueron
