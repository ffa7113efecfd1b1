"""The documents' check (checks/docs.py): its masks match what they should and nothing more, a
wrong example fails, and --update rewrites only what it may."""
import importlib.util
import os
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
module_spec = importlib.util.spec_from_file_location("docs_check", ROOT / "checks" / "docs.py")
docs = importlib.util.module_from_spec(module_spec)
module_spec.loader.exec_module(docs)


class Matching(unittest.TestCase):
    def test_lines_match_exactly_unless_masked(self):
        self.assertTrue(docs.matches(["a", "b"], ["a", "b"]))
        self.assertFalse(docs.matches(["a", "b"], ["a", "c"]))
        self.assertFalse(docs.matches(["a"], ["a", "b"]))
        self.assertFalse(docs.matches(["a", "b"], ["a"]))

    def test_an_ellipsis_line_stands_for_any_lines_including_none(self):
        self.assertTrue(docs.matches(["a", "...", "z"], ["a", "z"]))
        self.assertTrue(docs.matches(["a", "...", "z"], ["a", "b", "c", "z"]))
        self.assertTrue(docs.matches(["...", "z"], ["x", "z"]))
        self.assertFalse(docs.matches(["a", "...", "z"], ["a", "b", "y"]))
        # A later line must still appear after what the ellipsis took.
        self.assertFalse(docs.matches(["...", "z", "w"], ["z", "q", "w"]))

    def test_a_bracketed_ellipsis_stands_for_any_text_within_a_line(self):
        self.assertTrue(docs.matches(["ids: [...]."], ["ids: 1 2 3."]))
        self.assertTrue(docs.matches(["ids: [...]."], ["ids: ."]))
        self.assertFalse(docs.matches(["ids: [...]."], ["ids: 1 2 3"]))
        # Regular-expression characters elsewhere in the line are taken literally.
        self.assertFalse(docs.matches(["a.c [...]"], ["abc x"]))

    def test_time_figures_are_masked_and_nothing_else(self):
        for shown, printed in [
            ("Tempo de CPU = 0.000006 segundos", "Tempo de CPU = 1.250000 segundos"),
            ("Tempo da busca: 0.002 segundos", "Tempo da busca: 12.500 segundos"),
            ('{"valor":971,"segundos":0.001863}', '{"valor":971,"segundos":2e-05}'),
        ]:
            self.assertEqual(docs.normal(shown), docs.normal(printed))
        self.assertNotEqual(docs.normal('{"valor":971,"segundos":1}'),
                            docs.normal('{"valor":972,"segundos":1}'))
        self.assertNotEqual(docs.normal("Menor distancia: 971"), docs.normal("Menor distancia: 972"))

    def test_trailing_space_is_ignored_and_latin1_bytes_are_read(self):
        self.assertEqual(docs.normal("Escolha: "), "Escolha:")
        self.assertEqual(docs.decode(b"Menor dist\xe2ncia = 65\n"), "Menor dist\u00e2ncia = 65\n")
        self.assertEqual(docs.decode("n\u00e3o".encode()), "n\u00e3o")


class Documents(unittest.TestCase):
    def check(self, text, update=False):
        """Returns the failures of a document holding `text`, and its text afterwards."""
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "doc.md"
            path.write_text(text, encoding="utf-8")
            env = {"PATH": os.environ["PATH"], "LC_ALL": "C"}
            failures = docs.check_file(path, env, update)
            return failures, path.read_text(encoding="utf-8")

    def test_right_examples_pass_and_state_holds_within_a_document(self):
        failures, _ = self.check(
            "```console\n$ echo one; echo two >&2\none\ntwo\n$ cd examples && echo x > made\n```\n"
            "text\n```console\n$ cat examples/made; ls bench/data | grep -c tsp\nx\n[...]\n```\n"
            "```sh\n$ false\nnot run\n```\n")
        self.assertEqual(failures, 0)

    def test_a_wrong_example_fails_and_update_rewrites_it_unless_masked(self):
        text = ("```console\n$ echo right\nwrong\n```\n"
                "```console\n$ echo right\n...\nwrong\n```\n"
                "```console\n$ echo fine\nfine\n```\n")
        failures, unchanged = self.check(text)
        self.assertEqual((failures, unchanged), (2, text))
        failures, updated = self.check(text, update=True)
        self.assertEqual(failures, 2)
        self.assertEqual(updated, text.replace("right\nwrong\n```", "right\nright\n```", 1))

    def test_a_block_without_a_command_is_a_failure(self):
        self.assertEqual(self.check("```console\nno command\n```\n")[0], 1)


if __name__ == "__main__":
    unittest.main()
