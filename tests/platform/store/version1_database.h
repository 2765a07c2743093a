#pragma once
// A message database as version 1 of the store wrote it (sqlite3 ".dump" of a real msg.db,
// filled through CClientDB before the keys became Jid store keys): its sender_key and
// receiver_key columns hold the old keys, the bare JIDs in lower case. Load it into an empty
// file and set user_version to 1 to have that database again.

#include <string>

#include "support/test_files.h"

namespace store_test {

inline constexpr int kVersion1MessageCount = 12;

inline std::string Version1DatabaseDump() {
    return testing_support::U8(
        u8R"sql(PRAGMA foreign_keys=OFF;
BEGIN TRANSACTION;
CREATE TABLE message (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    sender TEXT NOT NULL,
    receiver TEXT NOT NULL,
    sender_key TEXT NOT NULL,
    receiver_key TEXT NOT NULL,
    sent_time TEXT NOT NULL,
    contents TEXT NOT NULL,
    extra1 TEXT NOT NULL,
    extra2 TEXT NOT NULL,
    extra3 TEXT NOT NULL,
    extra4 TEXT NOT NULL,
    extra5 TEXT NOT NULL,
    type INTEGER NOT NULL,
    web INTEGER NOT NULL,
    state INTEGER NOT NULL
);
INSERT INTO message VALUES(1,'wang@gover.host/PC','me$gov@host','wang@gover.host','me$gov@host','2026-01-05 09:01:02','FONT(x)一 from the gover spelling','','','','','',0,0,0);
INSERT INTO message VALUES(2,'me$gov@host/PC','wang$gov@host','me$gov@host','wang$gov@host','2026-01-05 09:01:02','FONT(x)二 to the dollar spelling','','','','','',0,0,0);
INSERT INTO message VALUES(3,'Wang$GOV@Host','me$gov@host','wang$gov@host','me$gov@host','2026-01-05 09:01:02','FONT(x)三 upper case','','','','','',0,0,1);
INSERT INTO message VALUES(4,'me$gov@host','WANG@GOVER.host/Phone','me$gov@host','wang@gover.host','2026-01-05 09:01:02','FONT(x)四 upper gover','','','','','',0,0,1);
INSERT INTO message VALUES(5,'li@puber.host','me$gov@host','li@puber.host','me$gov@host','2026-01-05 09:01:02','FONT(x)五 puber','','','','','',0,0,0);
INSERT INTO message VALUES(6,'me$gov@host','li$pub@host','me$gov@host','li$pub@host','2026-01-05 09:01:02','FONT(x)六 pub','','','','','',0,0,0);
INSERT INTO message VALUES(7,' zhao$gov@host','me$gov@host',' zhao$gov@host','me$gov@host','2026-01-05 09:01:02','FONT(x)七 leading blank','','','','','',0,0,0);
INSERT INTO message VALUES(8,'me$gov@host','8613800138000@sms.host','me$gov@host','8613800138000@sms.host','2026-01-05 09:01:02','八 sms','','','','','',11,0,0);
INSERT INTO message VALUES(9,'13800138000@sms.host/PC','me$gov@host','13800138000@sms.host','me$gov@host','2026-01-05 09:01:02','九 sms back','','','','','',11,0,1);
INSERT INTO message VALUES(10,'张三@gover.host','me$gov@host','张三@gover.host','me$gov@host','2026-01-05 09:01:02','FONT(x)十 chinese local part','','','','','',0,0,0);
INSERT INTO message VALUES(11,'me$gov@host','丂@gover.host/PC','me$gov@host','丂@gover.host','2026-01-05 09:01:02','FONT(x)十二 trail byte 0x40','','','','','',0,0,0);
INSERT INTO message VALUES(12,'room@conference.host/wang','me$gov@host','room@conference.host','me$gov@host','2026-01-05 09:01:02','FONT(x)十一 in the room','','','','','',0,0,0);
CREATE TABLE person_vcard (
    scope INTEGER NOT NULL,
    key_jid TEXT NOT NULL COLLATE NOCASE,
    jid TEXT NOT NULL, name TEXT NOT NULL, mobile TEXT NOT NULL, work_phone TEXT NOT NULL, email TEXT NOT NULL,
    unit TEXT NOT NULL, industry TEXT NOT NULL, reserved7 TEXT NOT NULL, title TEXT NOT NULL,
    reserved9 TEXT NOT NULL, duty TEXT NOT NULL, reserved11 TEXT NOT NULL,
    short_number TEXT NOT NULL, fax TEXT NOT NULL, extension TEXT NOT NULL,
    staff_number TEXT NOT NULL, video_capable INTEGER NOT NULL,
    text1 TEXT NOT NULL, text2 TEXT NOT NULL, text3 TEXT NOT NULL, text4 TEXT NOT NULL,
    text5 TEXT NOT NULL, text6 TEXT NOT NULL, text7 TEXT NOT NULL, text8 TEXT NOT NULL,
    text9 TEXT NOT NULL, text10 TEXT NOT NULL, text11 TEXT NOT NULL, text12 TEXT NOT NULL,
    text13 TEXT NOT NULL, extra4 TEXT NOT NULL, extension_xml TEXT NOT NULL,
    flags INTEGER NOT NULL, subscription TEXT NOT NULL, phone3 TEXT NOT NULL,
    phone2 TEXT NOT NULL, phone4 TEXT NOT NULL, extra1 TEXT NOT NULL, extra2 TEXT NOT NULL,
    PRIMARY KEY (scope, key_jid)
);
INSERT INTO person_vcard VALUES(0,'wang$gov@host','wang$gov@host','王','','','','','','','','','','','','','','',0,'','','','','','','','','','','','','','','',0,'','','','','','');
CREATE TABLE mobile_vcard (
    key_jid TEXT NOT NULL COLLATE NOCASE,
    grp TEXT NOT NULL,
    jid TEXT NOT NULL, name TEXT NOT NULL, email TEXT NOT NULL, telephone TEXT NOT NULL,
    profession TEXT NOT NULL, company TEXT NOT NULL, title TEXT NOT NULL,
    position TEXT NOT NULL, mobile TEXT NOT NULL, mobile2 TEXT NOT NULL,
    telephone2 TEXT NOT NULL, office_fax TEXT NOT NULL, address TEXT NOT NULL,
    home_phone TEXT NOT NULL, memo TEXT NOT NULL,
    PRIMARY KEY (key_jid, grp)
);
CREATE TABLE group_child (
    unit_key TEXT NOT NULL,
    position INTEGER NOT NULL,
    type INTEGER NOT NULL,
    id TEXT NOT NULL,
    name TEXT NOT NULL,
    parent_id TEXT NOT NULL,
    PRIMARY KEY (unit_key, position)
) WITHOUT ROWID;
CREATE TABLE rtoa (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    app_id TEXT NOT NULL, app_desc TEXT NOT NULL, sender_name TEXT NOT NULL,
    tip_type TEXT NOT NULL, count TEXT NOT NULL, description TEXT NOT NULL,
    jump_url TEXT NOT NULL, jump_url_param TEXT NOT NULL, display_url TEXT NOT NULL,
    send_time TEXT NOT NULL, offline_tip TEXT NOT NULL, status TEXT NOT NULL
);
DELETE FROM sqlite_sequence;
INSERT INTO sqlite_sequence VALUES('message',12);
CREATE INDEX message_by_sender ON message(sender_key);
CREATE INDEX message_by_receiver ON message(receiver_key);
CREATE INDEX message_unhandled ON message(id) WHERE state <> 0;
CREATE INDEX message_web ON message(id) WHERE web <> 0;
COMMIT;
)sql");
}

}  // namespace store_test
