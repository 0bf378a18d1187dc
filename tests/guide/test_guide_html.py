#!/usr/bin/env python3
"""The guide page maker: the Markdown it reads, the pictures it embeds, the errors it names."""
import base64
import os
import subprocess
import sys
import tempfile
import unittest

TOOL = os.path.join(os.path.dirname(__file__), "..", "..", "tools", "guide", "guide_html.py")
sys.path.insert(0, os.path.dirname(TOOL))
import guide_html  # noqa: E402

# A picture small enough to write out here: a 1 x 1 PNG.
PIXEL = base64.b64decode(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAQAAAC1HAwCAAAAC0lEQVR42mNkYAAAAAYAAjCB0C8AAAAASUVORK5CYII=")


def body(document):
    return document.split("<body>\n", 1)[1].split("\n</body>", 1)[0]


class Conversion(unittest.TestCase):
    CASES = [
        ("# Руководство", "<h1>Руководство</h1>"),
        ("### Весы", "<h3>Весы</h3>"),
        ("Строка один\nстрока два\n\nВторой", "<p>Строка один строка два</p>\n<p>Второй</p>"),
        ("Нажмите **Ctrl+F** и `3020`", "<p>Нажмите <strong>Ctrl+F</strong> и <code>3020</code></p>"),
        ("a < b & **c > d**", "<p>a &lt; b &amp; <strong>c &gt; d</strong></p>"),
        ("- один\n- два\n  дальше", "<ul><li>один</li><li>два дальше</li></ul>"),
        ("1. первый\n2. второй", "<ol><li>первый</li><li>второй</li></ol>"),
        ("Текст\n- пункт", "<p>Текст</p>\n<ul><li>пункт</li></ul>"),
        ("| Сообщение | Что делать |\n|---|---|\n| `!!! ФОРМУЛА` | **выберите** другое |",
         "<table>\n<tr><th>Сообщение</th><th>Что делать</th></tr>\n"
         "<tr><td><code>!!! ФОРМУЛА</code></td><td><strong>выберите</strong> другое</td></tr>\n</table>"),
        ("| не таблица", "<p>| не таблица</p>"),
        ("> как есть", "<p>&gt; как есть</p>"),
        ("Рецепт:\n```\nОснова: +88.33 грамм (=88.33 грамм)\n---> Лак & **паста**\n```\nДальше",
         "<p>Рецепт:</p>\n<pre>Основа: +88.33 грамм (=88.33 грамм)\n---&gt; Лак &amp; **паста**</pre>\n<p>Дальше</p>"),
    ]

    def test_markdown_subset(self):
        for markdown, expected in self.CASES:
            with self.subTest(markdown=markdown):
                document, pictures = guide_html.convert(markdown, ".")
                self.assertEqual(body(document), expected)
                self.assertEqual(pictures, [])

    def test_title_is_the_first_heading(self):
        document, _ = guide_html.convert("Вступление\n\n# Первый\n\n# Второй", ".")
        self.assertIn("<title>Первый</title>", document)

    ERRORS = [
        ("текст\n\nнезакрытый **жирный", 3, "unclosed"),
        ("| a | b |\n|---|---|\n| 1 |", 3, "1 cells under a head of 2"),
        ("\n![нет](missing.png)", 2, "cannot read the picture missing.png"),
        ("![рисунок](picture.bmp)", 1, "not PNG, JPEG or GIF"),
        ("текст\n\n```\nкод", 3, "unclosed ```"),
    ]

    def test_errors_name_the_line(self):
        for markdown, line, reason in self.ERRORS:
            with self.subTest(markdown=markdown):
                with self.assertRaises(guide_html.GuideError) as raised:
                    guide_html.convert(markdown, ".")
                self.assertEqual(raised.exception.line, line)
                self.assertIn(reason, raised.exception.reason)


class Tool(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        os.mkdir(os.path.join(self.folder.name, "shots"))
        with open(os.path.join(self.folder.name, "shots", "main-window.png"), "wb") as picture:
            picture.write(PIXEL)

    def path(self, name):
        return os.path.join(self.folder.name, name)

    def run_tool(self, markdown):
        with open(self.path("guide.md"), "w", encoding="utf-8") as guide:
            guide.write(markdown)
        return subprocess.run([sys.executable, TOOL, self.path("guide.md"), self.path("guide.html"),
                               self.path("guide.d")], capture_output=True, text=True)

    def test_picture_embedded_and_listed_for_the_build(self):
        result = self.run_tool("# Гид\n\n![Главное окно](shots/main-window.png)\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(self.path("guide.html"), encoding="utf-8") as page:
            self.assertIn('<img src="data:image/png;base64,%s" alt="Главное окно">'
                          % base64.b64encode(PIXEL).decode("ascii"), page.read())
        with open(self.path("guide.d"), encoding="utf-8") as depfile:
            self.assertEqual(depfile.read(), "%s: %s %s\n" % (self.path("guide.html"), self.path("guide.md"),
                                                             self.path("shots/main-window.png")))

    def test_failure_names_file_and_line_and_keeps_the_old_page(self):
        with open(self.path("guide.html"), "w", encoding="utf-8") as page:
            page.write("old")
        result = self.run_tool("# Гид\n\n![нет](shots/none.png)\n")
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr, "%s:3: cannot read the picture shots/none.png: No such file or directory\n"
                         % self.path("guide.md"))
        with open(self.path("guide.html"), encoding="utf-8") as page:
            self.assertEqual(page.read(), "old")


if __name__ == "__main__":
    unittest.main()
