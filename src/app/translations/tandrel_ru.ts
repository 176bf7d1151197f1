<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Zentar Configurator</source>
        <translation>Конфигуратор Zentar</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Zentar-HUBRO32</source>
        <translation>Zentar-HUBRO32</translation>
    </message>
    <message>
        <source>Zentar-HUBRO32-MK2</source>
        <translation>Zentar-HUBRO32-MK2</translation>
    </message>
    <message>
        <source>Zentar-BEXIL</source>
        <translation>Zentar-BEXIL</translation>
    </message>
    <message>
        <source>Zentar-DRALO</source>
        <translation>Zentar-DRALO</translation>
    </message>
    <message>
        <source>Zentar-TIRUN</source>
        <translation>Zentar-TIRUN</translation>
    </message>
    <message>
        <source>Zentar-MAVO</source>
        <translation>Zentar-MAVO</translation>
    </message>
    <message>
        <source>Zentar-OLVEK</source>
        <translation>Zentar-OLVEK</translation>
    </message>
    <message>
        <source>Zentar-HOXEL</source>
        <translation>Zentar-HOXEL</translation>
    </message>
    <message>
        <source>Zentar-WEMDAR</source>
        <translation>Zentar-WEMDAR</translation>
    </message>
    <message>
        <source>Zentar-QUABE</source>
        <translation>Zentar-QUABE</translation>
    </message>
    <message>
        <source>Zentar-TEST_DEV</source>
        <translation>Zentar-TEST_DEV</translation>
    </message>
    <message>
        <source>Zentar-NILVO2</source>
        <translation>Zentar-NILVO2</translation>
    </message>
    <message>
        <source>Zentar-FOTRA</source>
        <translation>Zentar-FOTRA</translation>
    </message>
    <message>
        <source>Zentar-FOTRA ISP01</source>
        <translation>Zentar-FOTRA ISP01</translation>
    </message>
    <message>
        <source>Zentar-YOLVIK</source>
        <translation>Zentar-YOLVIK</translation>
    </message>
    <message>
        <source>Zentar-VUXO</source>
        <translation>Zentar-VUXO</translation>
    </message>
    <message>
        <source>Zentar-KEMREL</source>
        <translation>Zentar-KEMREL</translation>
    </message>
    <message>
        <source>Water meter</source>
        <translation>Water meter</translation>
    </message>
    <message>
        <source>Zentar-PONDRA</source>
        <translation>Zentar-PONDRA</translation>
    </message>
    <message>
        <source>Zentar-Lumeq-207</source>
        <translation>Zentar-Lumeq-207</translation>
    </message>
    <message>
        <source>Zentar-Lumeq-609-Exd</source>
        <translation>Zentar-Lumeq-609-Exd</translation>
    </message>
    <message>
        <source>Zentar-JORVU</source>
        <translation>Zentar-JORVU</translation>
    </message>
    <message>
        <source>Zentar-YOLVIK ISP01</source>
        <translation>Zentar-YOLVIK ISP01</translation>
    </message>
    <message>
        <source>Zentar-YOLVIK ISP02</source>
        <translation>Zentar-YOLVIK ISP02</translation>
    </message>
    <message>
        <source>Zentar-OLVEK ISP02</source>
        <translation>Zentar-OLVEK ISP02</translation>
    </message>
    <message>
        <source>Zentar-TASKEL</source>
        <translation>Zentar-TASKEL</translation>
    </message>
    <message>
        <source>Zentar-TASKEL-SH</source>
        <translation>Zentar-TASKEL-SH</translation>
    </message>
    <message>
        <source>Zentar-RUFTA</source>
        <translation>Zentar-RUFTA</translation>
    </message>
    <message>
        <source>Zentar-SEBREL</source>
        <translation>Zentar-SEBREL</translation>
    </message>
    <message>
        <source>Zentar-WEMDAR ISP01</source>
        <translation>Zentar-WEMDAR ISP01</translation>
    </message>
    <message>
        <source>Zentar-GURTA</source>
        <translation>Zentar-GURTA</translation>
    </message>
    <message>
        <source>Zentar-PEMMEL 53</source>
        <translation>Zentar-PEMMEL 53</translation>
    </message>
    <message>
        <source>Zentar-VUXO ISP01</source>
        <translation>Zentar-VUXO ISP01</translation>
    </message>
    <message>
        <source>Kestrune GSM-Р ISP00</source>
        <translation>Kestrune GSM-Р ISP00</translation>
    </message>
    <message>
        <source>Kestrune GSM-Р ISP01</source>
        <translation>Kestrune GSM-Р ISP01</translation>
    </message>
    <message>
        <source>Kestrune LTE ISP0</source>
        <translation>Kestrune LTE ISP0</translation>
    </message>
    <message>
        <source>Zentar-HUBRO125</source>
        <translation>Zentar-HUBRO125</translation>
    </message>
    <message>
        <source>Pyxal</source>
        <translation>Pyxal</translation>
    </message>
    <message>
        <source>Zentar-MK1-Demo-TOVRA13</source>
        <translation>Zentar-MK1-Demo-TOVRA13</translation>
    </message>
    <message>
        <source>Zentar-MK2-Demo-TOVRA13</source>
        <translation>Zentar-MK2-Demo-TOVRA13</translation>
    </message>
    <message>
        <source>Zentar-HUBRO32-ExtFlash</source>
        <translation>Zentar-HUBRO32-ExtFlash</translation>
    </message>
    <message>
        <source>BOOTLOADER ISP00</source>
        <translation>BOOTLOADER ISP00</translation>
    </message>
    <message>
        <source>BOOTLOADER LTE ISP0</source>
        <translation>BOOTLOADER LTE ISP0</translation>
    </message>
    <message>
        <source>BOOTLOADER LTE ISP01</source>
        <translation>BOOTLOADER LTE ISP01</translation>
    </message>
    <message>
        <source>Zentar-PONDRA-220</source>
        <translation>Zentar-PONDRA-220</translation>
    </message>
    <message>
        <source>Zentar-PONDRA-24</source>
        <translation>Zentar-PONDRA-24</translation>
    </message>
    <message>
        <source>Zentar-PEMMEL 55</source>
        <translation>Zentar-PEMMEL 55</translation>
    </message>
    <message>
        <source>Zentar-RUFTA SER01</source>
        <translation>Zentar-RUFTA SER01</translation>
    </message>
    <message>
        <source>Zentar-NUDRA</source>
        <translation>Zentar-NUDRA</translation>
    </message>
    <message>
        <source>Zentar-RUFTA ISP01</source>
        <translation>Zentar-RUFTA ISP01</translation>
    </message>
    <message>
        <source>Zentar-Plimsa</source>
        <translation>Zentar-Plimsa</translation>
    </message>
    <message>
        <source>Kestrune GSM Flash</source>
        <translation>Kestrune GSM Flash</translation>
    </message>
    <message>
        <source>Kestrune GSM WEB</source>
        <translation>Kestrune GSM WEB</translation>
    </message>
    <message>
        <source>Kestrune LTE Flash ISP0</source>
        <translation>Kestrune LTE Flash ISP0</translation>
    </message>
    <message>
        <source>Kestrune LTE Flash ISP01</source>
        <translation>Kestrune LTE Flash ISP01</translation>
    </message>
    <message>
        <source>Zentar-QUENDAL</source>
        <translation>Zentar-QUENDAL</translation>
    </message>
    <message>
        <source>Zentar-QUENDAL ISP02</source>
        <translation>Zentar-QUENDAL ISP02</translation>
    </message>
    <message>
        <source>Zentar-DROVI</source>
        <translation>Zentar-DROVI</translation>
    </message>
    <message>
        <source>Zentar-DRALO-4</source>
        <translation>Zentar-DRALO-4</translation>
    </message>
    <message>
        <source>Kestrune LTE ISP01</source>
        <translation>Kestrune LTE ISP01</translation>
    </message>
    <message>
        <source>Zentar-VINDRAK</source>
        <translation>Zentar-VINDRAK</translation>
    </message>
    <message>
        <source>Zentar-SEBREL isp. 02</source>
        <translation>Zentar-SEBREL isp. 02</translation>
    </message>
    <message>
        <source>Zentar-HUBRO125 exec. 01</source>
        <translation>Zentar-HUBRO125 exec. 01</translation>
    </message>
    <message>
        <source>Unknown type: %1</source>
        <translation>Неизвестный тип: %1</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Zentar Configurator</source>
        <translation>Конфигуратор Zentar</translation>
    </message>
</context>
</TS>
