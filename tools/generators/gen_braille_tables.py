#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generate the current-braille and double-spell braille tables.

Writes current_braille_table.txt and double_braille_table.txt into the
output directory (default: engine/tables of this repository) as UTF-8,
every line ended by CR LF, the last one included.  The program embeds
them as GBK, so the sizes printed are the GBK ones too.

Usage: gen_braille_tables.py [OUTPUT_DIR]

The layout data below is the whole source of both tables; the rows are
derived from it by rule, so a syllable is only ever listed once.
"""

import os
import sys

# Syllables without an initial, each a single current-braille cell, in
# table order.  Their cells double as the final cells of every section row.
FIRST_BLOCK = [
    ("35", "a"), ("26", "o"), ("26", "e"), ("24", "yi"), ("136", "wu"),
    ("346", "yu"), ("246", "ai"), ("235", "ao"), ("2346", "ei"),
    ("12356", "ou"), ("1246", "ya"), ("345", "yao"), ("15", "ye"),
    ("1256", "you"), ("1236", "an"), ("236", "ang"), ("356", "en"),
    ("3456", "eng"), ("146", "yan"), ("1346", "yang"), ("126", "yin"),
    ("16", "ying"), ("123456", "wa"), ("13456", "wai"), ("2456", "wei"),
    ("135", "wo"), ("23456", "yue"), ("1235", "er"), ("12456", "wan"),
    ("2356", "wang"), ("25", "wen"), ("256", "weng"), ("12346", "yuan"),
    ("456", "yun"), ("1456", "yong"),
]

# Sections of the current-braille table: label, initial, initial cell and
# the syllables in table order.
SECTIONS = [
    ("一", "b", "12", "ba bo bi bu bai bao bei biao bie ban bang ben beng "
     "bian bin bing"),
    ("二", "p", "1234", "pa po pi pu pai pao pei pou piao pie pan pang pen "
     "peng pian pin ping"),
    ("三", "m", "134", "ma mo mi mu mai mao mei mou miao mie miu man mang "
     "men meng mian min ming"),
    ("四", "f", "124", "fa fo fu fei fou fiao fan fang fen feng"),
    ("五", "d", "145", "da de di du dai dao dei dou dia diao die diu dan "
     "dang den deng dian ding dui duan dun dong duo"),
    ("六", "t", "2345", "ta te ti tu tai tao tou tiao tie tan tang teng "
     "tian ting tui tuan tun tong tuo"),
    ("七", "n", "1345", "na ne ni nu nv nai nao nei nou niao nie niu nan "
     "nang nen neng nian niang nin ning nuo nue nuan nun nong"),
    ("八", "l", "123", "la le li lu lv lai lao lei lou lia liao lie liu lan "
     "lang leng lian liang lin ling luo lue luan lun long"),
    ("十一", "g", "1245", "ga ge gu gai gao gei gou gan gang gen geng gua "
     "guai gui guo guan guang gun gong"),
    ("十二", "k", "13", "ka ke ku kai kao kei kou kan kang ken keng kua "
     "kuai kui kuo kuan kuang kun kong"),
    ("十三", "h", "125", "ha he hu hai hao hei hou han hang hen heng hua "
     "huai hui huo huan huang hun hong"),
    ("十四", "j", "1245", "ji ju jia jiao jie jiu jian jiang jin jing jue "
     "juan jun jiong"),
    ("十五", "q", "13", "qi qu qia qiao qie qiu qian qiang qin qing que "
     "quan qun qiong"),
    ("十六", "x", "125", "xi xu xia xiao xie xiu xian xiang xin xing xue "
     "xuan xun xiong"),
    ("十七", "zh", "34", "zha zhe zhi zhu zhai zhao zhei zhou zhan zhang "
     "zhen zheng zhua zhuai zhui zhuo zhuan zhuang zhun zhong"),
    ("十八", "ch", "12345", "cha che chi chu chai chao chou chan chang chen "
     "cheng chua chuai chui chuo chuan chuang chun chong"),
    ("十九", "sh", "156", "sha she shi shu shai shao shei shou shan shang "
     "shen sheng shua shuai shui shuo shuan shuang shun"),
    ("二十", "r", "245", "re ri ru rao rou ran rang ren reng rui ruo ruan "
     "run rong"),
    ("二十一", "z", "1356", "za ze zi zu zai zao zei zou zan zang zen zeng "
     "zui zuo zuan zun zong"),
    ("二十二", "c", "14", "ca ce ci cu cai cao cou can cang cen ceng cui cuo "
     "cuan cun cong"),
    ("二十三", "s", "234", "sa se si su sai sao sou san sang sen seng sui "
     "suo suan sun song"),
]

# The one row after the last section.
LAST_ROW = ("134-26", "me")

# Final (as spelled after an initial) -> first-block syllable whose cell it
# takes in the current table.
FINAL_SYLLABLE = {
    "a": "a", "o": "o", "e": "e", "i": "yi", "u": "wu", "v": "yu",
    "ai": "ai", "ao": "ao", "ei": "ei", "ou": "ou", "ia": "ya", "iao": "yao",
    "ie": "ye", "iu": "you", "an": "an", "ang": "ang", "en": "en",
    "eng": "eng", "ian": "yan", "iang": "yang", "in": "yin", "ing": "ying",
    "ua": "wa", "uai": "wai", "ui": "wei", "uo": "wo", "ue": "yue",
    "uan": "wan", "uang": "wang", "un": "wen", "ong": "weng", "iong": "yong",
}

# After j, q and x a written u is ü.
JQX_FINAL_SYLLABLE = {"u": "yu", "ue": "yue", "uan": "yuan", "un": "yun"}

# Syllables whose "i" is no vowel of its own: the initial cell alone.
BARE_I = {"zhi", "chi", "shi", "ri", "zi", "ci", "si"}

# Double-spell initial cells by initial and medial ("" = no initial, and
# medial "" = none, "i", "u", "v" = ü).
DOUBLE_INITIAL = {
    "": {"": "23456", "i": "25", "u": "26", "v": "256"},
    "b": {"": "24", "i": "245"},
    "p": {"": "236", "i": "2356"},
    "m": {"": "246", "i": "2456"},
    "f": {"": "235"},
    "d": {"": "34", "i": "345", "u": "346"},
    "t": {"": "234", "i": "2345", "u": "2346"},
    "n": {"": "1234", "i": "12345", "u": "12346", "v": "123456"},
    "l": {"": "123", "i": "1235", "u": "1236", "v": "12356"},
    "g": {"": "1", "u": "16"},
    "k": {"": "13", "u": "136"},
    "h": {"": "12", "u": "126"},
    "j": {"i": "15", "v": "156"},
    "q": {"i": "135", "v": "1356"},
    "x": {"i": "125", "v": "1256"},
    "zh": {"": "14", "u": "146"},
    "ch": {"": "134", "u": "1346"},
    "sh": {"": "124", "u": "1246"},
    "r": {"": "35", "u": "356"},
    "z": {"": "145", "u": "1456"},
    "c": {"": "1345", "u": "13456"},
    "s": {"": "1245", "u": "12456"},
}

# Double-spell final cells by rhyme ("" = no rhyme).
DOUBLE_RHYME = {
    "a": "245", "o": "24", "e": "24", "": "12", "ai": "1245", "ao": "125",
    "ei": "34", "ou": "14", "an": "124", "ang": "145", "en": "1",
    "eng": "15",
}

# Final after an initial -> (medial, rhyme).  "ue" is always üe: pinyin has
# no u+e final, and nue/lue are spelled without the diaeresis.
FINAL_SPLIT = {
    "a": ("", "a"), "o": ("", "o"), "e": ("", "e"), "ai": ("", "ai"),
    "ao": ("", "ao"), "ei": ("", "ei"), "ou": ("", "ou"), "an": ("", "an"),
    "ang": ("", "ang"), "en": ("", "en"), "eng": ("", "eng"),
    "i": ("i", ""), "ia": ("i", "a"), "iao": ("i", "ao"), "ie": ("i", "e"),
    "iu": ("i", "ou"), "ian": ("i", "an"), "iang": ("i", "ang"),
    "in": ("i", "en"), "ing": ("i", "eng"),
    "u": ("u", ""), "ua": ("u", "a"), "uai": ("u", "ai"), "ui": ("u", "ei"),
    "uo": ("u", "o"), "uan": ("u", "an"), "uang": ("u", "ang"),
    "un": ("u", "en"), "ong": ("u", "eng"),
    "v": ("v", ""), "ue": ("v", "e"), "iong": ("v", "eng"),
}

# After j, q and x a written u is ü.
JQX_FINAL_SPLIT = {"u": ("v", ""), "uan": ("v", "an"), "un": ("v", "en")}

# Syllables without an initial -> (medial, rhyme).
ZERO_INITIAL_SPLIT = {
    "a": ("", "a"), "o": ("", "o"), "e": ("", "e"), "ai": ("", "ai"),
    "ao": ("", "ao"), "ei": ("", "ei"), "ou": ("", "ou"), "an": ("", "an"),
    "ang": ("", "ang"), "en": ("", "en"), "eng": ("", "eng"),
    "yi": ("i", ""), "ya": ("i", "a"), "yao": ("i", "ao"), "ye": ("i", "e"),
    "you": ("i", "ou"), "yan": ("i", "an"), "yang": ("i", "ang"),
    "yin": ("i", "en"), "ying": ("i", "eng"),
    "wu": ("u", ""), "wa": ("u", "a"), "wai": ("u", "ai"), "wei": ("u", "ei"),
    "wo": ("u", "o"), "wan": ("u", "an"), "wang": ("u", "ang"),
    "wen": ("u", "en"), "weng": ("u", "eng"),
    "yu": ("v", ""), "yue": ("v", "e"), "yuan": ("v", "an"),
    "yun": ("v", "en"), "yong": ("v", "eng"),
}

# Double-spell rows that follow no rule.
DOUBLE_EXCEPTIONS = {
    "bu": ("24", "12"), "pu": ("236", "12"), "mu": ("246", "12"),
    "fu": ("235", "12"), "fiao": ("235", "125"), "er": ("35", "245"),
}

# "me" moves in the double table: it stands right before "mei".
DOUBLE_ME_BEFORE = "mei"

CRLF = "\r\n"


def split_initial(syllable, initial):
    assert syllable.startswith(initial), syllable
    return syllable[len(initial):]


def current_rows():
    """(label, None) for a section label, (cells, syllable) for a row."""
    cell_of = {syl: cell for cell, syl in FIRST_BLOCK}
    out = [(cell, syl) for cell, syl in FIRST_BLOCK]
    for label, initial, initial_cell, syllables in SECTIONS:
        out.append((label, None))
        for syl in syllables.split():
            if syl in BARE_I:
                out.append((initial_cell, syl))
                continue
            final = split_initial(syl, initial)
            table = FINAL_SYLLABLE
            if initial in "jqx" and final in JQX_FINAL_SYLLABLE:
                table = JQX_FINAL_SYLLABLE
            out.append((initial_cell + "-" + cell_of[table[final]], syl))
    out.append(LAST_ROW)
    return out


def syllables():
    """The syllables of the braille tables, in current-table order."""
    return [syl for _, syl in current_rows() if syl is not None]


def section_initial():
    return {syl: initial
            for _, initial, _, syls in SECTIONS for syl in syls.split()}


def double_cells(syllable, initial):
    if syllable in DOUBLE_EXCEPTIONS:
        return DOUBLE_EXCEPTIONS[syllable]
    if initial == "":
        medial, rhyme = ZERO_INITIAL_SPLIT[syllable]
    elif syllable in BARE_I:
        medial, rhyme = "", ""
    else:
        final = split_initial(syllable, initial)
        medial, rhyme = FINAL_SPLIT[final]
        if initial in "jqx" and final in JQX_FINAL_SPLIT:
            medial, rhyme = JQX_FINAL_SPLIT[final]
    cells = DOUBLE_INITIAL[initial]
    if medial not in cells:
        raise ValueError(f"no initial cell for {syllable!r}")
    return cells[medial], DOUBLE_RHYME[rhyme]


def double_rows():
    initial_of = section_initial()
    order = [s for s in syllables() if s != "me"]
    order.insert(order.index(DOUBLE_ME_BEFORE), "me")
    out = []
    for syl in order:
        # "me" is listed outside the sections but is an m syllable.
        initial = "m" if syl == "me" else initial_of.get(syl, "")
        first, final = double_cells(syl, initial)
        out.append((first + "-" + final, syl))
    return out


def current_text():
    return "".join((cells if syl is None else f"{cells}={syl}") + CRLF
                   for cells, syl in current_rows())


def double_text():
    return "".join(f"{cells}={syl}{CRLF}" for cells, syl in double_rows())


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def default_output_dir():
    return os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(
        os.path.abspath(__file__)))), "engine", "tables")


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else default_output_dir()
    os.makedirs(out_dir, exist_ok=True)
    current = current_text()
    double = double_text()
    syls = syllables()
    assert len(syls) == len(set(syls)) == 409, len(syls)
    assert sorted(s for _, s in double_rows()) == sorted(syls)
    for name, text in (("current_braille_table.txt", current),
                       ("double_braille_table.txt", double)):
        data = text.encode("utf-8")
        write_bytes(os.path.join(out_dir, name), data)
        # The program embeds GBK; encoding here fails early if it cannot.
        print(f"{name}: {text.count(CRLF)} lines, {len(data)} UTF-8 bytes, "
              f"{len(text.encode('gbk'))} GBK bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
