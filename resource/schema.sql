-- The database every page expects. The build makes a new mivo.mdb from this file only where none exists.
-- Text widths are CHECK constraints named <table>_<column>_width, so an over-long value is refused
-- by the database itself and the refusal names the column.

PRAGMA foreign_keys = OFF;

-- Address book -------------------------------------------------------------------------------------

CREATE TABLE t_group (
  zuhao0 TEXT NOT NULL PRIMARY KEY CONSTRAINT t_group_zuhao0_width CHECK (length(zuhao0) = 1),
  zuming TEXT CONSTRAINT t_group_zuming_width CHECK (length(zuming) <= 8)
);

-- The name is the key of every change the page makes, so it must be present and unique; it compares
-- without regard to case, like every lookup by name.
CREATE TABLE t_telinfo (
  id        INTEGER PRIMARY KEY AUTOINCREMENT,
  zuhao0    TEXT CONSTRAINT t_telinfo_zuhao0_width CHECK (length(zuhao0) <= 1),
  xingm0    TEXT NOT NULL COLLATE NOCASE UNIQUE CONSTRAINT t_telinfo_xingm0_width CHECK (length(xingm0) <= 20),
  nich00    TEXT CONSTRAINT t_telinfo_nich00_width CHECK (length(nich00) <= 20),
  xingb0    TEXT CONSTRAINT t_telinfo_xingb0_width CHECK (length(xingb0) <= 1),
  shengr    TEXT CONSTRAINT t_telinfo_shengr_width CHECK (length(shengr) <= 8),
  shouji    TEXT CONSTRAINT t_telinfo_shouji_width CHECK (length(shouji) <= 12),
  xiaolt    TEXT CONSTRAINT t_telinfo_xiaolt_width CHECK (length(xiaolt) <= 12),
  dianh0    TEXT CONSTRAINT t_telinfo_dianh0_width CHECK (length(dianh0) <= 20),
  email0    TEXT CONSTRAINT t_telinfo_email0_width CHECK (length(email0) <= 30),
  qq0000    TEXT CONSTRAINT t_telinfo_qq0000_width CHECK (length(qq0000) <= 10),
  msn00     TEXT CONSTRAINT t_telinfo_msn00_width CHECK (length(msn00) <= 30),
  dizhi0    TEXT CONSTRAINT t_telinfo_dizhi0_width CHECK (length(dizhi0) <= 50),
  youb00    TEXT CONSTRAINT t_telinfo_youb00_width CHECK (length(youb00) <= 6),
  danwei    TEXT CONSTRAINT t_telinfo_danwei_width CHECK (length(danwei) <= 30),
  yuanji    TEXT CONSTRAINT t_telinfo_yuanji_width CHECK (length(yuanji) <= 20),
  beizhu    TEXT CONSTRAINT t_telinfo_beizhu_width CHECK (length(beizhu) <= 200),
  dianh0_dw TEXT CONSTRAINT t_telinfo_dianh0_dw_width CHECK (length(dianh0_dw) <= 20),
  zhiye0    TEXT CONSTRAINT t_telinfo_zhiye0_width CHECK (length(zhiye0) <= 20),
  dizhi0_dw TEXT CONSTRAINT t_telinfo_dizhi0_dw_width CHECK (length(dizhi0_dw) <= 50),
  jwjl00    TEXT,
  gxrq00    TEXT CONSTRAINT t_telinfo_gxrq00_width CHECK (length(gxrq00) <= 8)
);
CREATE INDEX t_telinfo_group_name ON t_telinfo (zuhao0, xingm0);

-- What links a contact with its card in an address book on a CardDAV server: the card's UID, its
-- path on the server and the ETag it had when last synced, and a hash of each field as last synced
-- (a three-way merge asks of each field whether this side or the server changed it). telid is the
-- contact's id, which survives renames; a contact deleted here keeps its row until the server's
-- card is deleted too. The row whose uid is empty is the address book's own: its path, and in etag
-- the server's sync token. Contacts without a row are not synced yet. The program adds this block,
-- as it stands between the two marks, to a database made before it existed.
-- contact sync: begin
CREATE TABLE t_telsync (
  uid    TEXT NOT NULL PRIMARY KEY,
  telid  INTEGER UNIQUE,
  href   TEXT NOT NULL UNIQUE,
  etag   TEXT,
  synced BLOB
);
-- contact sync: end

-- Notebook -----------------------------------------------------------------------------------------

CREATE TABLE p_group (
  groupid   TEXT NOT NULL PRIMARY KEY CONSTRAINT p_group_groupid_width CHECK (length(groupid) = 1),
  groupname TEXT CONSTRAINT p_group_groupname_width CHECK (length(groupname) <= 20)
);

CREATE TABLE p_info (
  id      INTEGER PRIMARY KEY AUTOINCREMENT,
  gid     TEXT CONSTRAINT p_info_gid_width CHECK (length(gid) <= 1),
  title   TEXT CONSTRAINT p_info_title_width CHECK (length(title) <= 255),
  content TEXT
);
CREATE INDEX p_info_group_title ON p_info (gid, title);

-- The notes' search index: every three-character piece of each title and text, so a search for three
-- or more characters reads only the notes that hold them. The text itself stays in p_info only
-- (external content) and the index keeps no positions (detail=none), which holds it near twice the
-- size of the text. The triggers keep it exact on every write, whoever makes it. The program adds
-- this block, as it stands between the two marks, to a database made before it existed.
-- search index: begin
CREATE VIRTUAL TABLE p_info_fts USING fts5(
  title, content, content='p_info', content_rowid='id', tokenize='trigram', detail=none
);
CREATE TRIGGER p_info_fts_ai AFTER INSERT ON p_info BEGIN
  INSERT INTO p_info_fts (rowid, title, content) VALUES (new.id, new.title, new.content);
END;
CREATE TRIGGER p_info_fts_ad AFTER DELETE ON p_info BEGIN
  INSERT INTO p_info_fts (p_info_fts, rowid, title, content) VALUES ('delete', old.id, old.title, old.content);
END;
-- Moving a note to another group leaves its pieces as they are.
CREATE TRIGGER p_info_fts_au AFTER UPDATE OF id, title, content ON p_info BEGIN
  INSERT INTO p_info_fts (p_info_fts, rowid, title, content) VALUES ('delete', old.id, old.title, old.content);
  INSERT INTO p_info_fts (rowid, title, content) VALUES (new.id, new.title, new.content);
END;
-- search index: end

-- Personal assets ----------------------------------------------------------------------------------

CREATE TABLE ca_group (
  groupid   TEXT NOT NULL PRIMARY KEY CONSTRAINT ca_group_groupid_width CHECK (length(groupid) = 1),
  groupname TEXT CONSTRAINT ca_group_groupname_width CHECK (length(groupname) <= 20)
);

CREATE TABLE ca_info (
  id       INTEGER PRIMARY KEY AUTOINCREMENT,
  gid      TEXT CONSTRAINT ca_info_gid_width CHECK (length(gid) <= 1),
  name     TEXT CONSTRAINT ca_info_name_width CHECK (length(name) <= 40),
  brand    TEXT CONSTRAINT ca_info_brand_width CHECK (length(brand) <= 40),
  descb    TEXT CONSTRAINT ca_info_descb_width CHECK (length(descb) <= 200),
  num      INTEGER,
  worth    REAL,
  buydate  TEXT CONSTRAINT ca_info_buydate_width CHECK (length(buydate) <= 8),
  buyplace TEXT CONSTRAINT ca_info_buyplace_width CHECK (length(buyplace) <= 40),
  buyprice REAL,
  dropdate TEXT CONSTRAINT ca_info_dropdate_width CHECK (length(dropdate) <= 8),
  droptype TEXT CONSTRAINT ca_info_droptype_width CHECK (length(droptype) <= 40),
  remark   TEXT CONSTRAINT ca_info_remark_width CHECK (length(remark) <= 200)
);
CREATE INDEX ca_info_group_name ON ca_info (gid, name);

-- Ledger -------------------------------------------------------------------------------------------

CREATE TABLE t_account (
  id      INTEGER PRIMARY KEY AUTOINCREMENT,
  vtype   TEXT CONSTRAINT t_account_vtype_width CHECK (length(vtype) <= 1),
  vdate   TEXT CONSTRAINT t_account_vdate_width CHECK (length(vdate) <= 8),
  vname   TEXT CONSTRAINT t_account_vname_width CHECK (length(vname) <= 40),
  vmoney  REAL,
  vremark TEXT CONSTRAINT t_account_vremark_width CHECK (length(vremark) <= 100)
);
CREATE INDEX t_account_type_date ON t_account (vtype, vdate);

-- Default groups; "Z" holds deleted contacts, disposed items and discarded notes.

INSERT INTO t_group (zuhao0, zuming) VALUES ('1', '家人'), ('2', '朋友'), ('3', '同学'), ('4', '同事'), ('Z', '已删除');
INSERT INTO p_group (groupid, groupname) VALUES ('1', '日记'), ('2', '工作'), ('3', '学习'), ('4', '生活'), ('Z', '废纸篓');
INSERT INTO ca_group (groupid, groupname) VALUES ('1', '电器'), ('2', '家具'), ('3', '书籍'), ('4', '其他'), ('Z', '已处理');
