#!/usr/bin/env python3
"""Writes the bundled sample documents from the UTF-8 text below.

samples/sample.gb is simplified Chinese in GB2312 (Python's gb2312 codec),
samples/sample.b5 traditional Chinese in BIG5 (Python's cp950 codec, keeping
to characters of plain BIG5). Both have CR LF line breaks, ASCII, a small
table aligned with tabs and paragraphs long enough to wrap in any window.

Usage: make_samples.py [--check] [FOLDER]
FOLDER defaults to samples/ beside tools/. With --check nothing is written;
the exit status is 1 when a file there differs from what this script makes.
"""
import os
import sys

GB_TEXT = """\
Tavelo 中文文本阅读器
=====================

Tavelo 是一个小巧的中文纯文本阅读器。它不依赖系统里的中文字体，也不需要中文代码页：每一个汉字都从程序自带的点阵字库里画出来，汉字是 13×13 的方格，ASCII 字符是 7×13 的窄格。所以，即使在一台没有安装任何中文字体的电脑上，它也能把 GB2312 和 BIG5 编码的文章清清楚楚地显示出来。

打开一个文件以后，程序只通过一个 2048 字节的小窗口读取它，把它排成最多 253 列的显示行，一共最多 32768 行。窗口变窄的时候，太长的行会自动折到下一行，而且折行的地方总在一个完整的汉字前面，绝不会把一个汉字的两个字节拆开；窗口变宽的时候，排版会重新做一遍，屏幕顶上仍然是原来那一段文字。

按键\t英文\t作用
上一页\tPgUp\t向上翻一页
下一页\tPgDn\t向下翻一页
首页\tHome\t回到文章开头
末页\tEnd\t跳到最后一页
上移\tUp\t向上移动一行
下移\tDown\t向下移动一行

如果文件是繁体的 BIG5 编码，程序会按照内置的对照表，把每一个 BIG5 字符换成对应的 GB2312 字符，再用同一套字库画出来。扩展名是 .b5、.big 或 .big5 的文件一打开就自动切换到 BIG5 模式，扩展名是 .gb 的文件则切换回 GB 模式；其他文件沿用当前的模式，也可以在“选项”菜单里随时切换。

窗口的位置、大小和两个选项都保存在注册表里，下次启动时恢复原样。第一次运行的时候，程序会问你要不要把 .gb 文件和它关联起来；关联以后，在资源管理器里双击一个 .gb 文件，它就会用 Tavelo 打开。“文件”菜单里的“卸载”命令会删除程序写过的所有注册表项。

静夜思　李白

　　床前明月光，疑是地上霜。
　　举头望明月，低头思故乡。

春晓　孟浩然

　　春眠不觉晓，处处闻啼鸟。
　　夜来风雨声，花落知多少。

登鹳雀楼　王之涣

　　白日依山尽，黄河入海流。
　　欲穷千里目，更上一层楼。

字号\t宽度\t高度\t说明
汉字\t13\t13\t两列，第十四列留白
ASCII\t7\t13\t一列
行距\t-\t18\t行与行之间空五个像素

Tavelo reads plain text in GB2312 or BIG5 and draws every character from its own bitmap font. Lines that are longer than the window wrap at the last whole character that fits; tabs stop every eight columns, and a tab that does not fit ends the display line and goes on at the start of the next one.

下面这一段故意写得很长，用来看看折行的效果：从前有一座山，山里有一座庙，庙里有一个老和尚在给小和尚讲故事，讲的是什么呢？讲的是从前有一座山，山里有一座庙，庙里有一个老和尚在给小和尚讲故事，讲的是什么呢？讲的还是从前有一座山，山里有一座庙。这个故事永远讲不完，可是这一行总要结束，于是就在这里结束了。

（完）
"""

BIG5_TEXT = """\
Tavelo 繁體中文範例
===================

這是一份用 BIG5 編碼儲存的繁體中文文件。Tavelo 打開副檔名為 .b5 的檔案時，會自動切換到 BIG5 模式，把每一個繁體字經由內建的對照表轉換成相應的簡體字形，再用同一套點陣字型畫出來。所以畫面上看到的「國語」、「體育」、「學習」都是簡體的寫法，而檔案本身的內容完全不變。

國語\t漢語\t中國的通用語言
繁體\t傳統\t臺灣與香港常用
簡體\t簡化\t大陸與新加坡常用
電腦\t計算機\t顯示與處理文字

讀書、寫字、聽說、學問、體驗、開關、東西南北、龍鳳、門窗、飛機、鐘錶、買賣、車輛、圖書館、經濟、風雲、義務、藝術、歲月、變遷：這些字的簡體與繁體寫法都不一樣，正好用來檢查對照表是否正確。

登鸛雀樓　王之渙

　　白日依山盡，黃河入海流。
　　欲窮千里目，更上一層樓。

A BIG5 document keeps its bytes on disk; only the picture on the screen uses the simplified glyphs of the GB2312 font.
"""


def encode(text, codec):
    """The text with CR LF line breaks, in the given codec (strict: every character must exist)."""
    return text.replace("\n", "\r\n").encode(codec)


def samples():
    return {
        "sample.gb": encode(GB_TEXT, "gb2312"),
        "sample.b5": encode(BIG5_TEXT, "cp950"),
    }


def main(argv):
    check = "--check" in argv
    rest = [a for a in argv if a != "--check"]
    folder = rest[0] if rest else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "samples")
    differing = []
    for name, data in samples().items():
        path = os.path.join(folder, name)
        if check:
            try:
                with open(path, "rb") as f:
                    if f.read() != data:
                        differing.append(path)
            except OSError:
                differing.append(path)
        else:
            os.makedirs(folder, exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
    for path in differing:
        print("differs from what make_samples.py makes: " + path, file=sys.stderr)
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
