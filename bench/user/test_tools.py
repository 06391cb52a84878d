"""The tools of the user-wait benchmarks, built and run on a small generated database: the data they
make, the statements they print, and the plain SQLite program reading what the program's views read.
MIVO_BENCH_TOOLS names the folder of the built tools."""

import os
import sqlite3
import subprocess
import tempfile
import unittest

from lists import Baseline, groups_of
from userwait import Failure

TOOLS = os.environ.get("MIVO_BENCH_TOOLS", "")


def tool(name):
    return os.path.join(TOOLS, name)


@unittest.skipUnless(os.path.exists(tool("bench_user_data")), "MIVO_BENCH_TOOLS does not name the built tools")
class ToolsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.database = cls.make("a.mdb")
        cls.sql = {v: subprocess.run([tool("bench_user_data"), "sql", v], check=True, capture_output=True, text=True).stdout.strip()
                   for v in ("dw_telall", "ds_xingm0", "dw_telper")}
        cls.pragmas = subprocess.run([tool("bench_user_data"), "pragmas", cls.database], check=True, capture_output=True,
                                     text=True).stdout.strip()
        cls.baseline = Baseline(tool("bench_sqlite_steps"), cls.database, cls.sql, cls.pragmas)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    @classmethod
    def make(cls, name):
        path = os.path.join(cls.folder.name, name)
        subprocess.run([tool("bench_user_data"), "make", path, "--contacts", "300", "--groups", "4", "--notes", "20",
                        "--note-bytes", "300", "--ledger", "90"], check=True, capture_output=True)
        return path

    def query(self, sql, *values, path=None):
        db = sqlite3.connect(path or self.database)
        try:
            return db.execute(sql, values).fetchall()
        finally:
            db.close()

    def test_the_database_holds_what_was_asked_spread_over_the_groups(self):
        self.assertEqual(groups_of(self.database), [("1", 75), ("2", 75), ("3", 75), ("4", 75), ("Z", 0)])
        self.assertEqual(self.query("SELECT count(*) FROM p_info"), [(20,)])
        # The notes reach the search index a new database has.
        self.assertEqual(self.query("SELECT count(*) FROM p_info_fts"), [(20,)])

    def test_ledger_entries_are_valid_and_the_same_for_the_same_seed(self):
        rows = self.query("SELECT vtype, vdate, vname, vmoney, vremark FROM t_account ORDER BY id")
        self.assertEqual(len(rows), 90)
        self.assertEqual({r[0] for r in rows}, {"0", "1"})
        self.assertEqual(max(r[1] for r in rows), "20090214")
        self.assertTrue(all(len(r[1]) == 8 and r[2] and r[3] > 0 for r in rows))
        self.assertEqual([r[1] for r in rows], sorted(r[1] for r in rows))
        again = self.make("b.mdb")
        self.assertEqual(self.query("SELECT vtype, vdate, vname, vmoney, vremark FROM t_account ORDER BY id", path=again), rows)

    def test_tool_refuses_what_it_does_not_know(self):
        for argv in (["sql", "dw_nosuchview"], ["make", os.path.join(self.folder.name, "c.mdb"), "--contacts", "x"],
                     ["make", os.path.join(self.folder.name, "c.mdb"), "--colour", "1"], []):
            done = subprocess.run([tool("bench_user_data")] + argv, capture_output=True)
            self.assertNotEqual(done.returncode, 0, argv)

    def test_sqlite_program_reads_the_rows_the_views_read(self):
        every = self.baseline.list_of("*")
        self.assertEqual(every["rows"], 300)
        self.assertTrue(every["read"] > 0 and every["step"] > 0 and every["default"] > 0, every)
        self.assertEqual(self.baseline.list_of("2")["rows"], 75)
        # A first expansion reads the group's list once; the two reads it replaced are kept beside it.
        expanded = self.baseline.expand("3")
        self.assertEqual(expanded["rows"], 75)
        self.assertTrue(expanded["pair"] > 0, expanded)
        # The card: one contact by name.
        self.assertEqual(self.baseline.card_of(self.query("SELECT xingm0 FROM t_telinfo LIMIT 1")[0][0])["rows"], 1)

    def test_the_sort_baseline_orders_the_same_rows_by_one_column(self):
        self.assertEqual(self.baseline.sorted_by("xingm0", False)["rows"], 300)
        captured = []
        baseline = Baseline(tool("bench_sqlite_steps"), self.database, self.sql, self.pragmas)
        baseline.run = lambda *queries: captured.extend(queries)
        baseline.sorted_by("xingm0", True)
        (sql, arg), = captured
        self.assertEqual(arg, "*")
        self.assertTrue(sql.endswith("GLOB :as_zuhao0 ORDER BY xingm0 ASC"), sql)
        self.assertEqual(sql.count("ORDER BY"), 1)
        names = [r[0] for r in self.query(sql.replace("SELECT zuhao0, xingm0", "SELECT xingm0, zuhao0"), "*")]
        self.assertEqual(names, sorted(names))

    def test_the_programs_connection_settings_are_read_from_it(self):
        statements = self.pragmas.split("; ")
        self.assertEqual([p.split(" = ")[0] for p in statements],
                         ["PRAGMA mmap_size", "PRAGMA cache_size", "PRAGMA temp_store", "PRAGMA threads"])
        for p in statements:
            int(p.split(" = ")[1])
        # Taken by the plain SQLite program, which says when it cannot.
        broken = Baseline(tool("bench_sqlite_steps"), self.database, self.sql, "PRAGMA mmap_size = (")
        with self.assertRaisesRegex(Failure, "syntax error"):
            broken.list_of("*")

    def test_sqlite_program_fails_loudly(self):
        with self.assertRaisesRegex(Failure, "no such column"):
            self.baseline.run(("SELECT nosuch FROM t_telinfo", "*"))
        done = subprocess.run([tool("bench_sqlite_steps"), "-n", "1", os.path.join(self.folder.name, "missing.mdb"), "SELECT 1"],
                              capture_output=True)
        self.assertNotEqual(done.returncode, 0)
        done = subprocess.run([tool("bench_sqlite_steps"), "-n", "0", self.database, "SELECT 1"], capture_output=True)
        self.assertEqual(done.returncode, 2)


if __name__ == "__main__":
    unittest.main()
