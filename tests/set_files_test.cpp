// Filter set files: saving and loading across wheel slots, refused saves,
// archived sets and their questions, deleting, listing and archiving.
#include <gtest/gtest.h>
#include "sets_api.h"
#include <cstring>

namespace {
const char kSaveQuestion[] = "The filter wheel set\n%s\nhas been archived and cannot be saved.\n"
                             "Would you like to un-archive the set and continue with the Save?";
const char kDeleteQuestion[] = "The filter wheel set\n%s\nhas been archived and cannot be saved.\n"
                               "Would you like to un-archive the set and continue with the Delete?";

std::string WithName(const char* question, const std::string& name) {
    std::string text = question;
    return text.replace(text.find("%s"), 2, name);
}

class SetFiles : public SetsTest {};
} // namespace

TEST_F(SetFiles, SaveAndLoadRoundTripInEachSlot) {
    DialogAnswerer boxes;
    for (int slot : {0, 4, 9}) {
        SCOPED_TRACE(slot);
        const std::string prefix = "S" + std::to_string(slot) + "-";
        EditRoster([&](DeviceRosterTable& r) { NameWheel(r.wheels[slot], "Round", 10, prefix); });
        EXPECT_EQ(sets.SaveFilterSet(slot, host.get()), 1);
        EXPECT_EQ(SetKeys("Round", slot, 10), Numbered(prefix, 1, 10));
        EXPECT_EQ(SetKey("Round", slot, 11), "<absent>");
        EXPECT_EQ(WheelNameKey(slot), "Round");

        EditRoster([&](DeviceRosterTable& r) { NameWheel(r.wheels[slot], "Round", 10, "x"); });
        EXPECT_EQ(config.LoadFilterSet(slot), 1);
        EXPECT_EQ(PositionNames(config.Roster().wheels[slot]), Numbered(prefix, 1, 10));
    }
    EXPECT_EQ(Sections(SetPath("Round")),
              (std::vector<std::string>{"FilterWheel1", "FilterWheel10", "FilterWheel5"}))
        << "one file for the name, one section per slot";
    EXPECT_EQ(SetKeys("Round", 0, 10), Numbered("S0-", 1, 10)) << "each slot kept its own";
    EXPECT_EQ(WrittenFiles(), (std::vector<std::string>{"Round.TolvoFW", "STolvo.INI"}));
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(SetFiles, ASetLoadsIntoAnotherSlotOnlyOnceThatSlotSavedIt) {
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[0], "Shared", 10, "A");
        NameWheel(r.wheels[1], "Shared", 10, "B");
    });
    ASSERT_EQ(sets.SaveFilterSet(0, host.get()), 1);
    EXPECT_EQ(config.LoadFilterSet(1), 0);
    EXPECT_EQ(PositionNames(config.Roster().wheels[1]), Numbered("B", 1, 10));
    EXPECT_EQ(WheelNameKey(1), "<absent>");

    ASSERT_EQ(sets.SaveFilterSet(1, host.get()), 1);
    EXPECT_EQ(Sections(SetPath("Shared")),
              (std::vector<std::string>{"FilterWheel1", "FilterWheel2"}));
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[1], "Shared", 10, "x"); });
    EXPECT_EQ(config.LoadFilterSet(1), 1);
    EXPECT_EQ(PositionNames(config.Roster().wheels[1]), Numbered("B", 1, 10));
}

TEST_F(SetFiles, PartialLoadsKeepWhatTheyReplaced) {
    // Six names saved: a ten-position wheel gets the six and then fails.
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Six", 6, "A"); });
    ASSERT_EQ(sets.SaveFilterSet(0, host.get()), 1);
    EXPECT_EQ(SetKey("Six", 0, 7), "<absent>");
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Six", 10, "old"); });
    EXPECT_EQ(config.LoadFilterSet(0), 0);
    EXPECT_EQ(PositionNames(config.Roster().wheels[0]),
              Joined(Numbered("A", 1, 6), Numbered("old", 7, 10)));

    // Ten saved, then six: the keys 7 to 10 of the first save stay.
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Mixed", 10, "B"); });
    ASSERT_EQ(sets.SaveFilterSet(0, host.get()), 1);
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Mixed", 6, "C"); });
    ASSERT_EQ(sets.SaveFilterSet(0, host.get()), 1);
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Mixed", 10, "old"); });
    EXPECT_EQ(config.LoadFilterSet(0), 1);
    EXPECT_EQ(PositionNames(config.Roster().wheels[0]),
              Joined(Numbered("C", 1, 6), Numbered("B", 7, 10)));
}

TEST_F(SetFiles, RefusedSavesWriteNothing) {
    const struct {
        const char* label;
        const char* name;
        int count;
        int emptyPosition; // -1 for none
    } cases[] = {
        {"empty set name", "", 10, -1},      {"blank set name", "   ", 10, -1},
        {"empty fourth name", "Set", 10, 3}, {"empty last name", "Set", 10, 9},
        {"empty first of six", "Set", 6, 0},
    };
    DialogAnswerer boxes;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EditRoster([&](DeviceRosterTable& r) {
            NameWheel(r.wheels[2], c.name, c.count, "N");
            r.wheels[2].valid = 1;
            if (c.emptyPosition >= 0) {
                r.wheels[2].positionNames[c.emptyPosition][0] = '\0';
            }
        });
        const DeviceRosterTable before = config.Roster();
        EXPECT_EQ(sets.SaveFilterSet(2, host.get()), 0);
        EXPECT_TRUE(WrittenFiles().empty()) << "neither a set file nor the Name key";
        const DeviceRosterTable after = config.Roster();
        EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);
    }
    EXPECT_TRUE(boxes.seen().empty());

    // Only the names in use count: a six-position wheel saves without a 7th.
    EditRoster([](DeviceRosterTable& r) {
        NameWheel(r.wheels[2], "Six", 6, "N");
        r.wheels[2].positionNames[6][0] = '\0';
    });
    EXPECT_EQ(sets.SaveFilterSet(2, host.get()), 1);
    EXPECT_EQ(SetKeys("Six", 2, 7), Joined(Numbered("N", 1, 6), {"<absent>"}));
}

TEST_F(SetFiles, SavingAnArchivedSetAsksFirst) {
    for (int answer : {IDYES, IDNO}) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Kept Set", 10, "A"); });
        ASSERT_EQ(sets.SaveFilterSet(0, host.get()), 1);
        sets.SetFilterSetArchived(SetPath("Kept Set").c_str(), 1);
        ASSERT_TRUE(IsReadOnly(SetPath("Kept Set")));
        const std::string setBefore = ReadDriverFile(driver, "Kept Set.TolvoFW");
        WritePrivateProfileStringA("FilterWheel1", "Name", "Elsewhere", driver.IniPath().c_str());
        const std::string iniBefore = ReadDriverFile(driver, "STolvo.INI");

        EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[0], "Kept Set", 10, "B"); });
        DialogAnswerer boxes;
        BoxLook look;
        boxes.Act([&](HWND box) {
            look = LookAt(box);
            return answer;
        });
        const int saved = sets.SaveFilterSet(0, host.get());

        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].caption, "Saving Filter Wheel Set");
        EXPECT_EQ(boxes.seen()[0].text, WithName(kSaveQuestion, "Kept Set"));
        EXPECT_EQ(look.owner, host.get());
        EXPECT_EQ(look.buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(look.icon, SystemIcon(IDI_WARNING));
        if (answer == IDYES) {
            EXPECT_EQ(saved, 1);
            EXPECT_FALSE(IsReadOnly(SetPath("Kept Set")));
            EXPECT_EQ(sets.IsFilterSetArchived(SetPath("Kept Set").c_str()), 0);
            EXPECT_EQ(SetKeys("Kept Set", 0, 10), Numbered("B", 1, 10));
            EXPECT_EQ(WheelNameKey(0), "Kept Set");
        } else {
            EXPECT_EQ(saved, 0);
            EXPECT_TRUE(IsReadOnly(SetPath("Kept Set")));
            EXPECT_EQ(ReadDriverFile(driver, "Kept Set.TolvoFW"), setBefore);
            EXPECT_EQ(ReadDriverFile(driver, "STolvo.INI"), iniBefore);
        }
        SetFileAttributesA(SetPath("Kept Set").c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(SetPath("Kept Set").c_str());
    }
}

TEST_F(SetFiles, DeletingTheSelectedSet) {
    const struct {
        const char* label;
        bool archived;
        int answer; // 0: no question expected
        int result;
    } cases[] = {
        {"plain", false, 0, 1},
        {"archived, Yes", true, IDYES, 1},
        {"archived, No", true, IDNO, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        WriteDriverFile(driver, "Old.TolvoFW", SetSectionText(1, 10, "O"));
        WriteDriverFile(driver, "Keep.TolvoFW", SetSectionText(1, 10, "K"));
        if (c.archived) {
            sets.SetFilterSetArchived(SetPath("Old").c_str(), 1);
        }
        ASSERT_EQ(sets.ListFilterSets(page.get(), kSetBox), 2);
        ChooseEntry(page.get(), kSetBox, EntryIndex("Old"));
        const std::vector<std::string> listed = Entries(page.get(), kSetBox);

        DialogAnswerer boxes;
        BoxLook look;
        if (c.answer != 0) {
            boxes.Act([&](HWND box) {
                look = LookAt(box);
                return c.answer;
            });
        }
        EXPECT_EQ(sets.DeleteFilterSet(page.get()), c.result);
        EXPECT_EQ(DriverFileExists(driver, "Old.TolvoFW"), c.result == 0);
        EXPECT_TRUE(DriverFileExists(driver, "Keep.TolvoFW"));
        EXPECT_EQ(Entries(page.get(), kSetBox), listed) << "the entry stays in the list";
        if (c.answer == 0) {
            EXPECT_TRUE(boxes.seen().empty());
        } else {
            ASSERT_EQ(boxes.seen().size(), 1u);
            EXPECT_EQ(boxes.seen()[0].caption, "Deleting Filter Wheel Set");
            EXPECT_EQ(boxes.seen()[0].text, WithName(kDeleteQuestion, "Old"));
            // A child window owns nothing: the box goes to the page's top-level window.
            EXPECT_EQ(look.owner, GetAncestor(page.get(), GA_ROOT));
            EXPECT_EQ(look.owner, host.get());
            EXPECT_EQ(look.buttons, (std::vector<int>{IDYES, IDNO}));
            EXPECT_EQ(look.icon, SystemIcon(IDI_WARNING));
        }
        if (c.result == 0) {
            EXPECT_TRUE(IsReadOnly(SetPath("Old")));
            EXPECT_EQ(ReadDriverFile(driver, "Old.TolvoFW"), SetSectionText(1, 10, "O"));
            SetFileAttributesA(SetPath("Old").c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
}

TEST_F(SetFiles, DeletingWithoutASelectionOrANameDoesNothing) {
    WriteDriverFile(driver, "Old.TolvoFW", SetSectionText(1, 10, "O"));
    WriteDriverFile(driver, ".TolvoFW", SetSectionText(1, 10, "E"));
    DialogAnswerer boxes;
    ASSERT_EQ(sets.ListFilterSets(page.get(), kSetBox), 1);
    ASSERT_EQ(Selection(page.get(), kSetBox), -1);
    EXPECT_EQ(sets.DeleteFilterSet(page.get()), 0);

    SendDlgItemMessageA(page.get(), kSetBox, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(""));
    ChooseEntry(page.get(), kSetBox, 1);
    EXPECT_EQ(sets.DeleteFilterSet(page.get()), 0) << "an empty entry names no set";

    EXPECT_EQ(WrittenFiles(), (std::vector<std::string>{".TolvoFW", "Old.TolvoFW"}));
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(SetFiles, ListingNamesEverySetFile) {
    HWND box = Control(page.get(), kSetBox);
    for (const char* junk : {"junk 1", "junk 2"}) {
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(junk));
    }
    EXPECT_EQ(sets.ListFilterSets(page.get(), kSetBox), 0) << "an empty folder";
    EXPECT_TRUE(Entries(page.get(), kSetBox).empty());
    RECT open{};
    SendMessageA(box, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&open));
    const LONG emptyHeight = open.bottom - open.top;

    const std::string longName(100, 'L');
    for (const std::string& file :
         {std::string("A.B.TolvoFW"), std::string("Plain.TolvoFW"), std::string("lower.tolvofw"),
          longName + ".TolvoFW", std::string("notes.txt"), std::string("   .TolvoFW"),
          std::string("..x.TolvoFW")}) {
        WriteDriverFile(driver, file, SetSectionText(1, 10, "N"));
    }
    ASSERT_TRUE(CreateDirectoryA(DriverFilePath(driver, "Dir.TolvoFW").c_str(), nullptr));

    EXPECT_EQ(sets.ListFilterSets(page.get(), kSetBox), 5);
    EXPECT_EQ(
        Sorted(Entries(page.get(), kSetBox)),
        Sorted(std::vector<std::string>{"A.B", "Plain", "lower", std::string(59, 'L'), "..x"}))
        << "cut at the last dot and to 59 characters; no folder and no blank name";
    SendMessageA(box, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&open));
    EXPECT_GT(open.bottom - open.top, emptyHeight) << "the drop-down list fits the entries";
    RemoveDirectoryA(DriverFilePath(driver, "Dir.TolvoFW").c_str());
}

TEST_F(SetFiles, TheArchiveAttribute) {
    const std::string missing = SetPath("Missing");
    EXPECT_EQ(sets.IsFilterSetArchived(missing.c_str()), 0);
    sets.SetFilterSetArchived(missing.c_str(), 1);
    EXPECT_FALSE(DriverFileExists(driver, "Missing.TolvoFW"));

    WriteDriverFile(driver, "Here.TolvoFW", SetSectionText(1, 2, "H"));
    const std::string here = SetPath("Here");
    EXPECT_EQ(sets.IsFilterSetArchived(here.c_str()), 0);
    ASSERT_TRUE(SetFileAttributesA(here.c_str(), FILE_ATTRIBUTE_HIDDEN));
    sets.SetFilterSetArchived(here.c_str(), 1);
    EXPECT_EQ(sets.IsFilterSetArchived(here.c_str()), 1);
    EXPECT_EQ(GetFileAttributesA(here.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    sets.SetFilterSetArchived(here.c_str(), 0);
    EXPECT_EQ(sets.IsFilterSetArchived(here.c_str()), 0);
    EXPECT_EQ(GetFileAttributesA(here.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN))
        << "other attributes stay";
    EXPECT_EQ(ReadDriverFile(driver, "Here.TolvoFW"), SetSectionText(1, 2, "H"));
}

TEST_F(SetFiles, TrimBlanksDropsSpacesOnly) {
    const struct {
        const char* text;
        const char* trimmed; // nullptr: nothing left
    } cases[] = {
        {"  Blue Set  ", "Blue Set"}, {"Blue", "Blue"}, {"   ", nullptr}, {"", nullptr},
        {"\tTab ", "\tTab"},          {" a ", "a"},     {"a  b", "a  b"},
    };
    for (const auto& c : cases) {
        char text[kNameSize];
        std::memset(text, 'S', sizeof text);
        std::strcpy(text, c.text);
        const char* result = sets.TrimBlanks(text);
        if (c.trimmed == nullptr) {
            EXPECT_EQ(result, nullptr) << '"' << c.text << '"';
        } else {
            ASSERT_NE(result, nullptr) << '"' << c.text << '"';
            EXPECT_STREQ(result, c.trimmed);
            EXPECT_GE(result, text);
            EXPECT_LT(result, text + sizeof text);
        }
        EXPECT_EQ(text[sizeof text - 1], 'S') << "nothing written past the text";
    }
    EXPECT_EQ(sets.TrimBlanks(nullptr), nullptr);
}

TEST_F(SetFiles, ArchivingASetThatWasNeverSavedCreatesNoFile) {
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[1], "Never", 10, "N"); });
    sets.SetWheelPage(1, 0);
    DialogAnswerer boxes;
    sets.ArchiveWheelSet(page.get());
    EXPECT_TRUE(WrittenFiles().empty());
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(SetFiles, ArchivingASavedSetMakesItReadOnly) {
    WriteDriverFile(driver, "Kept.TolvoFW", SetSectionText(2, 10, "K"));
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[1], "Kept", 10, "Changed"); });
    sets.SetWheelPage(1, 0);
    DialogAnswerer boxes;
    sets.ArchiveWheelSet(page.get());
    EXPECT_TRUE(IsReadOnly(SetPath("Kept")));
    EXPECT_EQ(ReadDriverFile(driver, "Kept.TolvoFW"), SetSectionText(2, 10, "K"))
        << "nothing saved without pending changes";
    EXPECT_TRUE(boxes.seen().empty());
}

TEST_F(SetFiles, ArchivingPendingChangesSavesThemFirst) {
    EditRoster([](DeviceRosterTable& r) { NameWheel(r.wheels[1], "Before", 8, "F"); });
    SetDlgItemTextA(page.get(), kSetBox, "  Fresh  ");
    sets.SetWheelPage(1, 1);
    DialogAnswerer boxes;
    sets.ArchiveWheelSet(page.get());
    EXPECT_TRUE(IsReadOnly(SetPath("Fresh")));
    EXPECT_EQ(SetKeys("Fresh", 1, 9), Joined(Numbered("F", 1, 8), {"<absent>"}));
    const WheelEntry wheel = config.Roster().wheels[1];
    EXPECT_STREQ(wheel.name, "Fresh");
    EXPECT_EQ(wheel.valid, 1);
    EXPECT_EQ(sets.FilterSetDirty(), 0);
    EXPECT_FALSE(IsWindowEnabled(Control(page.get(), kSaveButton)));
    EXPECT_EQ(Entries(page.get(), kSetBox), std::vector<std::string>{"Fresh"});
    EXPECT_EQ(Selection(page.get(), kSetBox), 0);
    EXPECT_TRUE(boxes.seen().empty());
}
