#!/usr/bin/env python3
"""Writes the demonstration templates of the print forms and reports.

The templates are ordinary RTF documents: command paragraphs (%DATA,
%GROUP, %TABLEROW, ...) cut them into bands, and text form fields carry the
expressions. Run it from this folder after changing a template here; the
.rtf files are what the program ships.
"""

LANDLORD = 'ООО «Немига-Инвест»'
LANDLORD_FULL = 'Общество с ограниченной ответственностью «Немига-Инвест»'
LANDLORD_ADDRESS = '220030, г. Минск, ул. Немига, 5, оф. 610'
LANDLORD_UNN = '190111227'
LANDLORD_ACCOUNT = 'BY20NMGB30120000000000000933'
LANDLORD_BANK = 'ОАО «Немига-Банк»'
LANDLORD_MFO = '153001964'
DIRECTOR = 'А.Н. Савицкий'
BOOKKEEPER = 'Е.В. Климович'

MONEY = '/F"#,##0.00"'


def t(text):
    """Plain text, escaped for RTF (non-ASCII as \\u)."""
    out = []
    for ch in text:
        o = ord(ch)
        if ch in '\\{}':
            out.append('\\' + ch)
        elif o < 128:
            out.append(ch)
        else:
            out.append('\\u%d?' % (o if o < 32768 else o - 65536))
    return ''.join(out)


def f(expr, name='F'):
    """A text form field whose default text is the expression."""
    e = expr.encode('latin-1')
    n = name.encode('latin-1')
    data = b'\0' * 8 + bytes([len(n)]) + n + b'\0' + bytes([len(e)]) + e
    return '{\\field{\\*\\fldinst {FORMTEXT }{\\*\\datafield ' + data.hex() + '}}{\\fldrslt x}}'


def words(total):
    """An amount in words: whole roubles in words, kopecks in figures."""
    roubles = 'ROUND((%s*1000 - 499)/1000)' % total
    return (f(roubles + '/Text') + t(' руб. ')
            + f('(ROUND(%s*100) - %s*100)/F"00"' % (total, roubles)) + t(' коп.'))


def para(content, align='l', bold=False, size=24, after=60, before=0, pagebb=False, indent=0):
    fmt = '\\pard\\plain\\q%s\\sa%d\\sb%d%s%s\\f0\\fs%d%s ' % (
        align, after, before, '\\fi%d' % indent if indent else '', '\\pagebb' if pagebb else '', size,
        '\\b' if bold else '')
    return fmt + content + '\\par\n'


def command(word):
    return '\\pard\\plain\\f0\\fs20 ' + word + '\\par\n'


def row(cells, bold=False, borders=True, header=False, size=22):
    """cells: (width in twips, content, align)."""
    s = '\\trowd\\trgaph70\\trleft0' + ('\\trhdr' if header else '')
    x = 0
    for width, _, _ in cells:
        x += width
        if borders:
            s += '\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10'
        s += '\\cellx%d' % x
    s += '\n'
    for _, content, align in cells:
        parts = content if isinstance(content, list) else [content]
        body = '\\par '.join(parts)
        s += '\\pard\\plain\\intbl\\q%s\\f0\\fs%d%s %s\\cell\n' % (align, size, '\\b' if bold else '', body)
    return s + '\\row\n'


def document(body, landscape=False):
    page = ('\\paperw16838\\paperh11906\\landscape' if landscape else '\\paperw11906\\paperh16838')
    return ('{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1'
            '{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}{\\f1\\fswiss\\fcharset204 Arial;}}\n'
            + page + '\\margl1418\\margr850\\margt1134\\margb1134\n' + body + '}\n')


def signatures(left, right, seal=False):
    mark = [t('М.П.')] if seal else []
    return row([(4800, [t(left[0]), '', t('________________ ' + left[1])] + mark, 'l'),
                (4838, [t(right[0]), '', t('________________ ') + right[1]] + mark, 'l')], borders=False)


def contract():
    b = command('%DATA DEFAULTTABLE')
    b += para(t('ДОГОВОР АРЕНДЫ № ') + f('contractNUMBER/USER'), 'c', True, 28, 120)
    b += row([(4800, t('г. Минск'), 'l'), (4838, f('contractSIGNDATE/USER'), 'r')], borders=False, size=24)
    b += para('', after=0)
    b += para(t(LANDLORD_FULL + ', именуемое в дальнейшем «Арендодатель», в лице директора '
                'Савицкого Андрея Николаевича, действующего на основании Устава, с одной стороны, и ')
              + f('custFULLNAME/USER')
              + t(', именуемое в дальнейшем «Арендатор», в лице руководителя ') + f('custDIRECTOR/USER')
              + t(', действующего на основании Устава, с другой стороны, заключили настоящий договор '
                  '(далее — Договор) о нижеследующем.'), 'j', indent=567)
    b += para(t('1. ПРЕДМЕТ ДОГОВОРА'), 'c', True, before=120)
    b += para(t('1.1. Арендодатель передает, а Арендатор принимает во временное возмездное пользование '
                'помещения и получает услуги, перечисленные в таблице:'), 'j', indent=567)
    b += command('%TABLEHEADER')
    b += row([(2600, t('Услуга'), 'c'), (2300, t('Помещение'), 'c'), (1700, t('Местонахождение'), 'c'),
              (1200, t('Площадь, кв. м'), 'c'), (1838, t('Плата в месяц, руб.'), 'c')], bold=True, header=True)
    b += command('%TABLEROW')
    b += row([(2600, f('SERVICECAL'), 'l'), (2300, f('OBJECTCAL'), 'l'), (1700, f('LOCATION'), 'l'),
              (1200, f('COUNTOBJECT/F"0.00"'), 'r'), (1838, f('COSTNCU' + MONEY), 'r')])
    b += command('%TABLEEND')
    b += row([(7800, t('Итого в месяц'), 'r'), (1838, f('COSTNCU/S' + MONEY), 'r')], bold=True)
    b += para('', after=0)
    b += para(t('1.2. Помещения передаются по акту приема-передачи в состоянии, пригодном для использования '
                'по назначению.'), 'j', indent=567)
    b += para(t('2. АРЕНДНАЯ ПЛАТА И ПОРЯДОК РАСЧЕТОВ'), 'c', True, before=120)
    b += para(t('2.1. Арендная плата составляет ') + f('COSTNCU/S' + MONEY) + t(' руб. (')
              + words('COSTNCU/S') + t(') в месяц.'), 'j', indent=567)
    b += para(t('2.2. Арендатор вносит арендную плату ежемесячно, не позднее ') + f('contractPAYMENTDAY/USER')
              + t('-го числа месяца, на основании счета-фактуры Арендодателя путем перечисления денежных '
                  'средств на расчетный счет Арендодателя.'), 'j', indent=567)
    b += para(t('2.3. Плата за коммунальные и эксплуатационные услуги, размер которой зависит от показаний '
                'приборов учета, указывается в счете-фактуре отдельной строкой.'), 'j', indent=567)
    b += para(t('3. СРОК ДЕЙСТВИЯ ДОГОВОРА'), 'c', True, before=120)
    b += para(t('3.1. Договор вступает в силу с ') + f('contractSIGNDATE/USER') + t(' и действует по ')
              + f('contractEXPRIREDATE/USER') + t('.'), 'j', indent=567)
    b += para(t('4. ОБЯЗАННОСТИ СТОРОН'), 'c', True, before=120)
    b += para(t('4.1. Арендодатель обязуется обеспечивать беспрепятственный доступ в помещения, их '
                'электро-, тепло- и водоснабжение, проводить капитальный ремонт здания.'), 'j', indent=567)
    b += para(t('4.2. Арендатор обязуется использовать помещения по назначению, своевременно вносить '
                'арендную плату, содержать помещения в надлежащем санитарном и противопожарном состоянии '
                'и возвратить их по окончании срока аренды в состоянии не хуже первоначального с учетом '
                'нормального износа.'), 'j', indent=567)
    b += para(t('5. ОТВЕТСТВЕННОСТЬ СТОРОН'), 'c', True, before=120)
    b += para(t('5.1. За несвоевременное внесение арендной платы Арендатор уплачивает пеню в размере 0,1% '
                'от суммы задолженности за каждый день просрочки.'), 'j', indent=567)
    b += para(t('5.2. Споры, не урегулированные путем переговоров, разрешаются в экономическом суде '
                'в установленном законодательством порядке.'), 'j', indent=567)
    b += para(t('6. РЕКВИЗИТЫ И ПОДПИСИ СТОРОН'), 'c', True, before=120, after=120)
    b += row([(4800, t('Арендодатель'), 'c'), (4838, t('Арендатор'), 'c')], bold=True, borders=False)
    b += row([(4800, [t(LANDLORD), t(LANDLORD_ADDRESS), t('УНП ' + LANDLORD_UNN),
                      t('р/с ' + LANDLORD_ACCOUNT), t('в ' + LANDLORD_BANK + ', код ' + LANDLORD_MFO)], 'l'),
              (4838, [f('custNAME/USER'), f('custDOMICILE/USER'), t('УНП ') + f('custUNN/USER'),
                      t('р/с ') + f('custACCOUNT/USER'),
                      t('в ') + f('custBANKNAME/USER') + t(', код ') + f('custBANKMFO/USER')], 'l')],
             borders=False)
    b += para('', after=120)
    b += signatures(('Директор', DIRECTOR), ('Руководитель', f('custDIRECTOR/USER')), seal=True)
    return document(b)


def price_appendix():
    b = command('%DATA DEFAULTTABLE')
    b += para(t('Приложение к договору аренды № ') + f('number/USER') + t(' от ') + f('signdate/USER'), 'r',
              size=22, after=240)
    b += para(t('РАСЧЕТ АРЕНДНОЙ ПЛАТЫ'), 'c', True, 28, 60)
    b += para(t('по ценам на дату расчета, в рублях'), 'c', size=22, after=240)
    b += para(t('Арендатор: ') + '{\\b ' + f('custFULLNAME/USER') + '}' + t(', УНП ') + f('custUNN/USER'), after=120)
    b += command('%TABLEHEADER')
    b += row([(2900, t('Услуга'), 'c'), (2300, t('Помещение'), 'c'), (1300, t('Площадь, кв. м'), 'c'),
              (1400, t('В валюте'), 'c'), (1738, t('В рублях'), 'c')], bold=True, header=True)
    b += command('%TABLEROW')
    b += row([(2900, f('SERVICECAL'), 'l'), (2300, f('NAME'), 'l'), (1300, f('COUNTOBJECT/F"0.00"'), 'r'),
              (1400, f('COSTCURR/F"#,##0.00"/Z+'), 'r'), (1738, f('COSTNCU' + MONEY), 'r')])
    b += command('%TABLEEND')
    b += row([(7900, t('Итого в месяц'), 'r'), (1738, f('COSTNCU/S' + MONEY), 'r')], bold=True)
    b += para('', after=60)
    b += para(t('Арендная плата в месяц: ') + words('COSTNCU/S'), after=360)
    b += signatures(('Арендодатель', DIRECTOR), ('Арендатор', f('custDIRECTOR/USER')), seal=True)
    return document(b)


def invoice():
    b = command('%GROUP INVOICEKEY')
    b += para(t('Поставщик: ') + '{\\b ' + t(LANDLORD) + '}', pagebb=True, after=0)
    b += para(t('Адрес: ' + LANDLORD_ADDRESS + ', УНП ' + LANDLORD_UNN), after=0, size=22)
    b += para(t('Р/с ' + LANDLORD_ACCOUNT + ' в ' + LANDLORD_BANK + ', код ' + LANDLORD_MFO), size=22, after=120)
    b += para(t('Плательщик: ') + '{\\b ' + f('spFULLNAME') + '}', after=0)
    b += para(t('Адрес: ') + f('spDOMICILE') + t(', УНП ') + f('spUNN'), after=0, size=22)
    b += para(t('Р/с ') + f('spACCOUNT') + t(' в ') + f('spBANKNAME') + t(', код ') + f('spBANKMFO'),
              size=22, after=240)
    b += para(t('СЧЕТ-ФАКТУРА № ') + f('NUMBER') + t(' от ') + f('INVOICEDATE'), 'c', True, 28, 60)
    b += para(t('за ') + f('month') + t(' (период аренды)'), 'c', size=22, after=120)
    b += para(t('Основание: договор аренды № ') + f('NUMBER_1') + t(' от ') + f('SIGNDATE')
              + t('. Форма оплаты: ') + f('NAME_2') + t('. Срок оплаты: до ') + f('EXPIREDATE') + t('.'),
              'j', size=22, after=120)
    b += command('%GROUPEND')
    b += row([(7038, t('Итого к оплате'), 'r'), (2600, f('COSTNCU/S' + MONEY), 'r')], bold=True)
    b += para('', after=60)
    b += para(t('Всего к оплате: ') + '{\\b ' + f('COSTNCU/S' + MONEY) + t(' руб.') + '}', after=0)
    b += para(t('Сумма прописью: ') + words('COSTNCU/S'), after=60)
    b += para(t('Без НДС.'), size=22, after=360)
    b += signatures(('Директор', DIRECTOR), ('Главный бухгалтер', t(BOOKKEEPER)))
    b += command('%TABLEHEADER')
    b += row([(3000, t('Наименование услуги'), 'c'), (2738, t('Помещение'), 'c'), (1300, t('Кол-во'), 'c'),
              (2600, t('Сумма, руб.'), 'c')], bold=True, header=True)
    b += command('%TABLEROW')
    b += row([(3000, f('NAME'), 'l'), (2738, f('NAME_5'), 'l'), (1300, f('COUNTOBJECT/F"0.00"'), 'r'),
              (2600, f('COSTNCU' + MONEY), 'r')])
    b += command('%TABLEEND')
    return document(b)


def contract_register():
    b = command('%DATA DEFAULTTABLE')
    b += para(t('РЕЕСТР ДОГОВОРОВ АРЕНДЫ'), 'c', True, 28, 120)
    b += para(t('Арендодатель: ' + LANDLORD), 'c', size=22, after=240)
    b += command('%TABLEHEADER')
    b += row([(900, t('№'), 'c'), (3300, t('Арендатор'), 'c'), (2200, t('Предмет'), 'c'),
              (1300, t('Дата подписания'), 'c'), (1300, t('Действует до'), 'c'),
              (1800, t('Сумма в месяц, руб.'), 'c')], bold=True, header=True, size=20)
    b += command('%TABLEROW')
    b += row([(900, f('NUMBER'), 'c'), (3300, f('CUSTOMERCAL'), 'l'), (2200, f('NAME'), 'l'),
              (1300, f('SIGNDATE'), 'c'), (1300, f('EXPRIREDATE'), 'c'), (1800, f('SUMNCU' + MONEY), 'r')],
             size=20)
    b += command('%TABLEEND')
    b += row([(9000, t('Итого'), 'r'), (1800, f('SUMNCU/S' + MONEY), 'r')], bold=True, size=20)
    b += para('', after=360)
    b += signatures(('Директор', DIRECTOR), ('Главный бухгалтер', t(BOOKKEEPER)))
    return document(b, landscape=False)


def paybill_register():
    b = command('%DATA DEFAULTTABLE')
    b += para(t('РЕЕСТР ПЛАТЕЖЕЙ АРЕНДАТОРОВ'), 'c', True, 28, 120)
    b += para(t('Получатель: ' + LANDLORD + ', р/с ' + LANDLORD_ACCOUNT), 'c', size=22, after=240)
    b += command('%TABLEHEADER')
    b += row([(900, t('№'), 'c'), (1300, t('Дата'), 'c'), (3238, t('Плательщик'), 'c'), (1300, t('УНП'), 'c'),
              (1100, t('Форма оплаты'), 'c'), (1800, t('Сумма, руб.'), 'c')], bold=True, header=True, size=20)
    b += command('%TABLEROW')
    b += row([(900, f('NUMBER'), 'c'), (1300, f('PAYBILLDATE'), 'c'), (3238, f('CUSTOMERCAL'), 'l'),
              (1300, f('UNN'), 'c'), (1100, f('PAYMENTCAL'), 'l'), (1800, f('SUMNCU' + MONEY), 'r')], size=20)
    b += command('%TABLEEND')
    b += row([(7838, t('Итого поступило'), 'r'), (1800, f('SUMNCU/S' + MONEY), 'r')], bold=True, size=20)
    b += para('', after=60)
    b += para(t('Всего поступило: ') + words('SUMNCU/S'), after=360)
    b += signatures(('Главный бухгалтер', BOOKKEEPER), ('Исполнитель', t('')))
    return document(b)


def debt_report():
    b = command('%DATA DEFAULTTABLE')
    b += para(t('ЗАДОЛЖЕННОСТЬ АРЕНДАТОРОВ ПО УСЛУГАМ'), 'c', True, 28, 60)
    b += para(t('за ') + f('datereport/USER'), 'c', size=22, after=240)
    b += command('%GROUP ID')
    b += para(t('Арендатор: ') + '{\\b ' + f('FULLNAME') + '}' + t(', УНП ') + f('UNN'), before=120, after=60)
    b += command('%GROUPEND')
    b += row([(3638, t('Итого по арендатору'), 'r'), (1500, '', 'r'), (1500, f('CCOSTNCU/S' + MONEY), 'r'),
              (1500, f('DCOSTNCU/S' + MONEY), 'r'), (1500, '', 'r')], bold=True, size=20)
    b += command('%GROUP SERVICEKEY')
    b += para(t('Услуга: ') + f('SERVICENAME'), size=22, after=60, before=60)
    b += command('%GROUPEND')
    b += row([(3638, t('Итого по услуге'), 'r'), (1500, '', 'r'), (1500, f('CCOSTNCU/S' + MONEY), 'r'),
              (1500, f('DCOSTNCU/S' + MONEY), 'r'), (1500, '', 'r')], size=20)
    b += command('%TABLEHEADER')
    b += row([(3638, t('Дата'), 'c'), (1500, t('Долг на начало'), 'c'), (1500, t('Начислено'), 'c'),
              (1500, t('Оплачено'), 'c'), (1500, t('Долг на конец'), 'c')], bold=True, header=True, size=20)
    b += command('%TABLEROW')
    b += row([(3638, f('HISTORYDATE'), 'l'), (1500, f('STARTDEBTCOSTNCU' + MONEY), 'r'),
              (1500, f('CCOSTNCU' + MONEY), 'r'), (1500, f('DCOSTNCU' + MONEY), 'r'),
              (1500, f('ENDDEBTCOSTNCU' + MONEY), 'r')], size=20)
    b += command('%TABLEEND')
    b += row([(3638, t('Всего'), 'r'), (1500, '', 'r'), (1500, f('CCOSTNCU/S' + MONEY), 'r'),
              (1500, f('DCOSTNCU/S' + MONEY), 'r'), (1500, '', 'r')], bold=True, size=20)
    b += para('', after=360)
    b += signatures(('Главный бухгалтер', BOOKKEEPER), ('Исполнитель', t('')))
    return document(b)


def free_objects():
    b = command('%DATA DEFAULTTABLE')
    b += para(t('СВОБОДНЫЕ ПОМЕЩЕНИЯ'), 'c', True, 28, 60)
    b += para(t('предлагаемые в аренду'), 'c', size=22, after=240)
    b += command('%TABLEHEADER')
    b += row([(3200, t('Помещение'), 'c'), (2200, t('Местонахождение'), 'c'), (1800, t('Тип'), 'c'),
              (2438, t('Описание'), 'c')], bold=True, header=True)
    b += command('%TABLEROW')
    b += row([(3200, f('NAME'), 'l'), (2200, f('NAME_1'), 'l'), (1800, f('NAME_2'), 'l'),
              (2438, f('DESCRIPTION'), 'l')])
    b += command('%TABLEEND')
    b += para('', after=360)
    b += signatures(('Директор', DIRECTOR), ('Исполнитель', t('')))
    return document(b)


def used_objects():
    b = command('%DATA DEFAULTTABLE')
    b += para(t('ЗАНЯТЫЕ ПОМЕЩЕНИЯ'), 'c', True, 28, 60)
    b += para(t('по действующим договорам аренды'), 'c', size=22, after=240)
    b += command('%TABLEHEADER')
    b += row([(2600, t('Помещение'), 'c'), (1700, t('Местонахождение'), 'c'), (2838, t('Арендатор'), 'c'),
              (1000, t('Договор'), 'c'), (1500, t('Действует до'), 'c')], bold=True, header=True)
    b += command('%TABLEROW')
    b += row([(2600, f('NAME'), 'l'), (1700, f('NAME_1'), 'l'), (2838, f('NAME_4'), 'l'),
              (1000, f('NUMBER'), 'c'), (1500, f('EXPRIREDATE'), 'c')])
    b += command('%TABLEEND')
    b += para('', after=360)
    b += signatures(('Директор', DIRECTOR), ('Исполнитель', t('')))
    return document(b)


FILES = {
    'contract.rtf': contract,
    'invoice.rtf': invoice,
    'price-appendix.rtf': price_appendix,
    'contracts-register.rtf': contract_register,
    'paybills-register.rtf': paybill_register,
    'debts.rtf': debt_report,
    'free-objects.rtf': free_objects,
    'used-objects.rtf': used_objects,
}

if __name__ == '__main__':
    for name, make in FILES.items():
        with open(name, 'w', encoding='ascii', newline='\r\n') as out:
            out.write(make())
