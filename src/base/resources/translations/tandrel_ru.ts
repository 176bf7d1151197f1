<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Configurator Zentar</source>
        <translation>Конфигуратор Zentar</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Версия:</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://zorvo.invalid&quot;&gt;zorvo.invalid&lt;/a&gt; &amp;nbsp;&amp;nbsp; &lt;a href=&quot;mailto:support@zorvo.invalid&quot;&gt;support@zorvo.invalid&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://zorvo.invalid&quot;&gt;zorvo.invalid&lt;/a&gt; &amp;nbsp;&amp;nbsp; &lt;a href=&quot;mailto:support@zorvo.invalid&quot;&gt;support@zorvo.invalid&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>release</source>
        <translation>релиз</translation>
    </message>
    <message>
        <source>Copyright © %1 Zorvo. All rights reserved.
Phone: +0 000 000-00-00</source>
        <translation>© %1 Zorvo. Все права защищены.
Телефон: +0 000 000-00-00</translation>
    </message>
</context>
<context>
    <name>AutoNumberDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Диалог</translation>
    </message>
    <message>
        <source>Start address:</source>
        <translation>Начальный адрес:</translation>
    </message>
    <message>
        <source>Step:</source>
        <translation>Шаг:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>BluetoothDeviceDiscoveryAgent</name>
    <message>
        <source>Current OS do not support Bluetooth connection with device</source>
        <translation>Текущая ОС не поддерживает подключение к устройству по Bluetooth</translation>
    </message>
    <message>
        <source>Can&apos;t init BLE advertisement watcher</source>
        <translation>Не удалось запустить наблюдение за объявлениями BLE</translation>
    </message>
    <message>
        <source>Bluetooth adapter not ready</source>
        <translation>Адаптер Bluetooth не готов</translation>
    </message>
    <message>
        <source>Bluetooth adapter not found</source>
        <translation>Адаптер Bluetooth не найден</translation>
    </message>
    <message>
        <source>BLE not supported</source>
        <translation>BLE не поддерживается</translation>
    </message>
    <message>
        <source>BLE supported</source>
        <translation>BLE поддерживается</translation>
    </message>
    <message>
        <source>BLE support is unknown</source>
        <translation>Поддержка BLE неизвестна</translation>
    </message>
</context>
<context>
    <name>ChangePasswordDialog</name>
    <message>
        <source>Change password</source>
        <translation>Смена пароля</translation>
    </message>
    <message>
        <source>Keep empty to disable password protection</source>
        <translation>Оставьте пустым, чтобы отключить защиту паролем</translation>
    </message>
    <message>
        <source>Repeat:</source>
        <translation>Повтор:</translation>
    </message>
    <message>
        <source>Repeat your new password</source>
        <translation>Повторите новый пароль</translation>
    </message>
    <message>
        <source>New password:</source>
        <translation>Новый пароль:</translation>
    </message>
    <message>
        <source>Current password:</source>
        <translation>Текущий пароль:</translation>
    </message>
    <message>
        <source>Your current password</source>
        <translation>Ваш текущий пароль</translation>
    </message>
</context>
<context>
    <name>ChannelScan</name>
    <message>
        <source>Channel scanning</source>
        <translation>Сканирование каналов</translation>
    </message>
    <message>
        <source>Channel scanning in progress. Wait, please...</source>
        <translation>Идёт сканирование каналов. Пожалуйста, подождите...</translation>
    </message>
    <message>
        <source>Stop channel scan</source>
        <translation>Остановить сканирование</translation>
    </message>
</context>
<context>
    <name>CheckUpdates</name>
    <message>
        <source>Check updates</source>
        <translation>Проверка обновлений</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Проверить обновления</translation>
    </message>
    <message>
        <source>Proxy setup</source>
        <translation>Настройка прокси</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Продукт</translation>
    </message>
    <message>
        <source>FW version</source>
        <translation>Версия ПО</translation>
    </message>
    <message>
        <source>Available version</source>
        <translation>Доступная версия</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Изменения</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Ссылка</translation>
    </message>
    <message>
        <source>No response from service</source>
        <translation>Нет ответа от сервиса</translation>
    </message>
    <message>
        <source>There are no updates for devices</source>
        <translation>Нет обновлений для устройств</translation>
    </message>
    <message>
        <source>Available updates found</source>
        <translation>Найдены доступные обновления</translation>
    </message>
    <message>
        <source>Checking for updates...</source>
        <translation>Проверка обновлений...</translation>
    </message>
    <message>
        <source>The proxy password is not saved: no secret store answers (%1). It is used until the program closes.</source>
        <translation>Пароль прокси не сохранён: хранилище секретов не отвечает (%1). Он используется до закрытия программы.</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Скачать</translation>
    </message>
</context>
<context>
    <name>CloneWireloopDialog</name>
    <message>
        <source>Wireloop Clone</source>
        <translation>Клонирование Wireloop</translation>
    </message>
    <message>
        <source>Device type</source>
        <translation>Тип устройства</translation>
    </message>
    <message>
        <source>Clone number</source>
        <translation>Количество клонов</translation>
    </message>
    <message>
        <source>Cannot clone. Wireloop address is too big</source>
        <translation>Невозможно клонировать: слишком большой адрес Wireloop</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
</context>
<context>
    <name>CompositeUpdate</name>
    <message>
        <source>HUBRO32 RADIO</source>
        <translation>HUBRO32 РАДИО</translation>
    </message>
    <message>
        <source>HUBRO125 RADIO</source>
        <translation>HUBRO125 РАДИО</translation>
    </message>
    <message>
        <source>HUBRO32 CORE</source>
        <translation>HUBRO32 ЯДРО</translation>
    </message>
    <message>
        <source>HUBRO125 CORE</source>
        <translation>HUBRO125 ЯДРО</translation>
    </message>
    <message>
        <source>All devices of this type are not connected</source>
        <translation>Все устройства этого типа не подключены</translation>
    </message>
    <message>
        <source>There is no saved firmware in flash</source>
        <translation>Во флеш-памяти нет сохранённого ПО</translation>
    </message>
    <message>
        <source>Open a file</source>
        <translation>Откройте файл</translation>
    </message>
    <message>
        <source>Composite update</source>
        <translation>Комплексное обновление</translation>
    </message>
    <message>
        <source>Internal</source>
        <translation>Внутреннее</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Выбрать все</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>HW</source>
        <translation>Аппаратура</translation>
    </message>
    <message>
        <source>FW</source>
        <translation>ПО</translation>
    </message>
    <message>
        <source>Build number</source>
        <translation>Номер сборки</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Дата</translation>
    </message>
    <message>
        <source>Available devices</source>
        <translation>Доступные устройства</translation>
    </message>
    <message>
        <source>Package mode</source>
        <translation>Пакетный режим</translation>
    </message>
    <message>
        <source>Update with the configurator turned on.
Updating only selected devices of one or more types.</source>
        <translation>Обновление при включённом конфигураторе.
Обновляются только выбранные устройства одного или нескольких типов.</translation>
    </message>
    <message>
        <source>Offline mode</source>
        <translation>Автономный режим</translation>
    </message>
    <message>
        <source>Updating without participation of the Configurator.
Updating the software of all devices of only one type, in which the software version differs from the downloaded one.
Updating starts after closing the Configurator.</source>
        <translation>Обновление без участия конфигуратора.
Обновляется ПО всех устройств только одного типа, версия ПО которых отличается от загруженной.
Обновление начинается после закрытия конфигуратора.</translation>
    </message>
    <message>
        <source>Fast mode</source>
        <translation>Быстрый режим</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Обновить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>WIRELOOP</source>
        <translation>WIRELOOP</translation>
    </message>
    <message>
        <source>Open Firmware</source>
        <translation>Открыть ПО</translation>
    </message>
    <message>
        <source>Firmware File (*.vorl);;All files (*)</source>
        <translation>Файл ПО (*.vorl);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Unsupported file extension.</source>
        <translation>Неподдерживаемое расширение файла.</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Unsupported extensions of files.</source>
        <translation>Неподдерживаемые расширения файлов.</translation>
    </message>
    <message>
        <source>Please contact the support service: &lt;a href=&quot;%1&quot;&gt;Support&lt;/a&gt;</source>
        <translation>Обратитесь в службу поддержки: &lt;a href=&quot;%1&quot;&gt;Поддержка&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Device update</source>
        <translation>Обновление устройства</translation>
    </message>
    <message>
        <source>Unsupported extensions of files</source>
        <translation>Неподдерживаемые расширения файлов</translation>
    </message>
    <message>
        <source>There are unsupported extensions of files.</source>
        <translation>Есть файлы с неподдерживаемыми расширениями.</translation>
    </message>
    <message>
        <source>Firmware update file open</source>
        <translation>Открытие файла обновления ПО</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 файла</translation>
    </message>
    <message>
        <source> files</source>
        <translation> файлов</translation>
    </message>
    <message>
        <source>Wrong VORL file format</source>
        <translation>Неверный формат файла VORL</translation>
    </message>
    <message>
        <source>VORL format error</source>
        <translation>Ошибка формата VORL</translation>
    </message>
    <message>
        <source>A file is selected for a comprehensive update by the HUBRO. The main and backup on the device will be updated. Do you want to continue?</source>
        <translation>Выбран файл комплексного обновления HUBRO. Будут обновлены основной и резервный образы на устройстве. Продолжить?</translation>
    </message>
    <message>
        <source>Complex update</source>
        <translation>Комплексное обновление</translation>
    </message>
    <message>
        <source>Incompatible firmware(s).</source>
        <translation>Несовместимое ПО.</translation>
    </message>
    <message>
        <source>There are no connected devices compatible with this software.</source>
        <translation>Нет подключённых устройств, совместимых с этим ПО.</translation>
    </message>
    <message>
        <source>There are no devices of the selected type</source>
        <translation>Нет устройств выбранного типа</translation>
    </message>
    <message>
        <source>Are you sure you want to upload it?</source>
        <translation>Вы уверены, что хотите его загрузить?</translation>
    </message>
    <message>
        <source>Attention! Updating</source>
        <translation>Внимание! Обновление</translation>
    </message>
    <message>
        <source>There are no selected/compatible firmwares.</source>
        <translation>Нет выбранного/совместимого ПО.</translation>
    </message>
    <message>
        <source>Device update failed</source>
        <translation>Обновление устройства не удалось</translation>
    </message>
    <message>
        <source>The selected software for %1 is outdated</source>
        <translation>Выбранное ПО для %1 устарело</translation>
    </message>
    <message>
        <source>Serial</source>
        <comment>serial number</comment>
        <translation>Серийный номер</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Error loading firmware</source>
        <translation>Ошибка загрузки прошивки</translation>
    </message>
    <message>
        <source>The master is not connected</source>
        <translation>Мастер не подключён</translation>
    </message>
    <message>
        <source>The master is not connected.</source>
        <translation>Мастер не подключён.</translation>
    </message>
</context>
<context>
    <name>ConfigurationExporter</name>
    <message>
        <source>The master did not answer while the configuration was read</source>
        <translation>Мастер не ответил во время чтения конфигурации</translation>
    </message>
    <message>
        <source>The configuration export has already run</source>
        <translation>Экспорт конфигурации уже выполнен</translation>
    </message>
    <message>
        <source>readDeviceInfo responce error </source>
        <translation>Ошибка ответа readDeviceInfo </translation>
    </message>
    <message>
        <source>The master&apos;s status answer is too short</source>
        <translation>Ответ мастера о состоянии слишком короткий</translation>
    </message>
    <message>
        <source>Can&apos;t save configuration %1</source>
        <translation>Не удалось сохранить конфигурацию %1</translation>
    </message>
    <message>
        <source>%1 is locked by another window</source>
        <translation>%1 заблокирован другим окном</translation>
    </message>
    <message>
        <source>Error occured while configuration file written %1</source>
        <translation>Ошибка при записи файла конфигурации %1</translation>
    </message>
    <message>
        <source>Configuration saved into %1</source>
        <translation>Конфигурация сохранена в %1</translation>
    </message>
    <message>
        <source>Device %1 sent %2 state bytes; its state is not saved</source>
        <translation>Устройство %1 передало %2 байт состояния; его состояние не сохранено</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
</context>
<context>
    <name>ConfigurationImporter</name>
    <message>
        <source>The master did not answer while the configuration was written</source>
        <translation>Мастер не ответил во время записи конфигурации</translation>
    </message>
    <message>
        <source>Configuration file error </source>
        <translation>Ошибка файла конфигурации </translation>
    </message>
    <message>
        <source>The configuration import is already running</source>
        <translation>Импорт конфигурации уже выполняется</translation>
    </message>
    <message>
        <source>Power adjustment %1</source>
        <translation>Регулировка мощности %1</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ВКЛ</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>ВЫКЛ</translation>
    </message>
    <message>
        <source>New interval %1</source>
        <translation>Новый интервал %1</translation>
    </message>
    <message>
        <source>From config file: %1 %2 address %3</source>
        <translation>Из файла конфигурации: %1 %2, адрес %3</translation>
    </message>
    <message>
        <source>%1 devices added from configuration file</source>
        <translation>Из файла конфигурации добавлено устройств: %1</translation>
    </message>
    <message>
        <source>%1 devices of the configuration file were not added</source>
        <translation>Не добавлено устройств из файла конфигурации: %1</translation>
    </message>
    <message>
        <source>Device added </source>
        <translation>Устройство добавлено </translation>
    </message>
    <message>
        <source>Device %1 refused by the master</source>
        <translation>Мастер отклонил устройство %1</translation>
    </message>
    <message>
        <source>Error (%1) while device configuration</source>
        <translation>Ошибка (%1) при конфигурировании устройства</translation>
    </message>
    <message>
        <source>Wrong format of configuration file</source>
        <translation>Неверный формат файла конфигурации</translation>
    </message>
    <message>
        <source>Wireloop address of HUBRO is undefined</source>
        <translation>Адрес Wireloop для HUBRO не задан</translation>
    </message>
    <message>
        <source>Interval of HUBRO is undefined</source>
        <translation>Интервал HUBRO не задан</translation>
    </message>
    <message>
        <source>Unreadable version of device %1</source>
        <translation>Нечитаемая версия устройства %1</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>отсутствует</translation>
    </message>
    <message>
        <source>The file holds %1 device entries, more than the %2 addresses of the master</source>
        <translation>В файле %1 записей устройств, больше, чем %2 адресов мастера</translation>
    </message>
    <message>
        <source>Device entry %1: the device number %2 cannot be read</source>
        <translation>Запись устройства %1: номер устройства %2 не читается</translation>
    </message>
    <message>
        <source>Device entry %1 (device %2): the device type %3 cannot be read</source>
        <translation>Запись устройства %1 (устройство %2): тип устройства %3 не читается</translation>
    </message>
    <message>
        <source>The file is not valid JSON: %1 at offset %2</source>
        <translation>Файл содержит некорректный JSON: %1 (смещение %2)</translation>
    </message>
</context>
<context>
    <name>Connection</name>
    <message>
        <source>Serial</source>
        <translation>Последовательный порт</translation>
    </message>
    <message>
        <source>Kastrel</source>
        <translation>Kastrel</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>Симуляция</translation>
    </message>
</context>
<context>
    <name>CustomPlotView</name>
    <message>
        <source>CustomPlotView</source>
        <translation>CustomPlotView</translation>
    </message>
    <message>
        <source>Interval (milliseconds):</source>
        <translation>Интервал (миллисекунды):</translation>
    </message>
    <message>
        <source>RSSI Logs. Date: %1</source>
        <translation>Журнал RSSI. Дата: %1</translation>
    </message>
</context>
<context>
    <name>DI_AbstractRepeater</name>
    <message>
        <source> #%1
%2
hw: %3 fw: %4
s/n: %5</source>
        <translation> #%1
%2
hw: %3 fw: %4
с/н: %5</translation>
    </message>
</context>
<context>
    <name>DI_Bexil</name>
    <message>
        <source>termistor short circuit</source>
        <translation>короткое замыкание термистора</translation>
    </message>
    <message>
        <source>termistor break</source>
        <translation>обрыв термистора</translation>
    </message>
    <message>
        <source>reference resistor break</source>
        <translation>обрыв опорного резистора</translation>
    </message>
    <message>
        <source>reference resistor sort circuit</source>
        <translation>короткое замыкание опорного резистора</translation>
    </message>
    <message>
        <source>General failure</source>
        <translation>Общая неисправность</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Температура</translation>
    </message>
    <message>
        <source>Detector class</source>
        <translation>Класс извещателя</translation>
    </message>
    <message>
        <source>Warning threshold</source>
        <translation>Порог предупреждения</translation>
    </message>
    <message>
        <source>Value of warning threshold</source>
        <translation>Значение порога предупреждения</translation>
    </message>
    <message>
        <source>A1R</source>
        <translation>A1R</translation>
    </message>
    <message>
        <source>A2R</source>
        <translation>A2R</translation>
    </message>
    <message>
        <source>A3R</source>
        <translation>A3R</translation>
    </message>
    <message>
        <source>BR</source>
        <translation>BR</translation>
    </message>
    <message>
        <source>A1</source>
        <translation>A1</translation>
    </message>
    <message>
        <source>A2</source>
        <translation>A2</translation>
    </message>
    <message>
        <source>A3</source>
        <translation>A3</translation>
    </message>
    <message>
        <source>B</source>
        <translation>B</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Выключить</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Включить</translation>
    </message>
    <message>
        <source>Threshold, °C</source>
        <translation>Порог, °C</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Fire</source>
        <translation>Пожар</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>%1°C</source>
        <translation>%1°C</translation>
    </message>
    <message>
        <source>Temperature: %1</source>
        <translation>Температура: %1</translation>
    </message>
</context>
<context>
    <name>DI_Dralo</name>
    <message>
        <source>Alarm key</source>
        <translation>Тревожная кнопка</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Fire</source>
        <translation>Пожар</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Not pressed</source>
        <translation>Не нажата</translation>
    </message>
    <message>
        <source>Pressed</source>
        <translation>Нажата</translation>
    </message>
    <message>
        <source>Reserve battery state</source>
        <translation>Состояние резервной батареи</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Button state</source>
        <translation>Состояние кнопки</translation>
    </message>
</context>
<context>
    <name>DI_Drovi</name>
    <message>
        <source>Wall Control</source>
        <translation>Настенное управление</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <source>Voice alert</source>
        <translation>Речевое оповещение</translation>
    </message>
    <message>
        <source>Mask active: %1</source>
        <translation>Активна маска: %1</translation>
    </message>
    <message>
        <source>Voice alert: %1   %2</source>
        <translation>Речевое оповещение: %1   %2</translation>
    </message>
</context>
<context>
    <name>DI_Fotra</name>
    <message>
        <source>External source</source>
        <translation>Внешний источник</translation>
    </message>
    <message>
        <source>Main source</source>
        <translation>Основной источник</translation>
    </message>
    <message>
        <source>Output 1 state</source>
        <translation>Состояние выхода 1</translation>
    </message>
    <message>
        <source>Output 2 state</source>
        <translation>Состояние выхода 2</translation>
    </message>
    <message>
        <source>Cable mode</source>
        <comment>fotra</comment>
        <translation>Режим шлейфа</translation>
    </message>
    <message>
        <source>Cable state</source>
        <translation>Состояние шлейфа</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Батарея</translation>
    </message>
    <message>
        <source>External</source>
        <translation>Внешний</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Выключено</translation>
    </message>
    <message>
        <source>Button</source>
        <translation>Кнопка</translation>
    </message>
    <message>
        <source>Cable</source>
        <translation>Шлейф</translation>
    </message>
    <message>
        <source>Short circuit</source>
        <translation>Короткое замыкание</translation>
    </message>
    <message>
        <source>Infringement 1</source>
        <translation>Нарушение 1</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Infringement 2</source>
        <translation>Нарушение 2</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Обрыв</translation>
    </message>
    <message>
        <source>Unplugged</source>
        <translation>Отключён</translation>
    </message>
    <message>
        <source>Plugged</source>
        <translation>Подключён</translation>
    </message>
    <message>
        <source>Not controlled</source>
        <translation>Не контролируется</translation>
    </message>
    <message>
        <source>Relay</source>
        <translation>Реле</translation>
    </message>
    <message>
        <source>Out 1</source>
        <translation>Выход 1</translation>
    </message>
    <message>
        <source>Out 2</source>
        <translation>Выход 2</translation>
    </message>
    <message>
        <source>You can select main power source:&lt;br&gt;&lt;b&gt;Place description&lt;/b&gt;: here
</source>
        <translation>Вы можете выбрать основной источник питания:&lt;br&gt;&lt;b&gt;Описание&lt;/b&gt;: здесь
</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <source>Active mask: %1</source>
        <translation>Активная маска: %1</translation>
    </message>
    <message>
        <source> (%1)</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>Out 1: %1, Out 2: %2</source>
        <translation>Выход 1: %1, выход 2: %2</translation>
    </message>
    <message>
        <source>, External power low</source>
        <translation>, внешнее питание понижено</translation>
    </message>
    <message>
        <source>Battery unplugged</source>
        <translation>Батарея отключена</translation>
    </message>
    <message>
        <source>Case open</source>
        <translation>Корпус вскрыт</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Cable: %1, %2</source>
        <translation>Шлейф: %1, %2</translation>
    </message>
</context>
<context>
    <name>DI_FotraISP1</name>
    <message>
        <source>External source</source>
        <translation>Внешний источник</translation>
    </message>
    <message>
        <source>Battery state</source>
        <translation>Состояние батареи</translation>
    </message>
    <message>
        <source>Output 1 state</source>
        <translation>Состояние выхода 1</translation>
    </message>
    <message>
        <source>Output 2 state</source>
        <translation>Состояние выхода 2</translation>
    </message>
    <message>
        <source>Main power</source>
        <translation>Основное питание</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>Plugged</source>
        <translation>Подключён</translation>
    </message>
    <message>
        <source>Battery status</source>
        <translation>Состояние батареи</translation>
    </message>
    <message>
        <source>Relay</source>
        <translation>Реле</translation>
    </message>
    <message>
        <source>Out 1 state</source>
        <translation>Состояние выхода 1</translation>
    </message>
    <message>
        <source>Out 2 state</source>
        <translation>Состояние выхода 2</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <source>Active mask: %1</source>
        <translation>Активная маска: %1</translation>
    </message>
    <message>
        <source>Out 1: %1, Out 2: %2, %3</source>
        <translation>Выход 1: %1, выход 2: %2, %3</translation>
    </message>
</context>
<context>
    <name>DI_Hoxel</name>
    <message>
        <source>Reserv battery state</source>
        <translation>Состояние резервной батареи</translation>
    </message>
    <message>
        <source>Zones handler</source>
        <translation>Обработка зон</translation>
    </message>
    <message>
        <source>Light out</source>
        <translation>Световой выход</translation>
    </message>
    <message>
        <source>Sound out</source>
        <translation>Звуковой выход</translation>
    </message>
    <message>
        <source>Outs</source>
        <translation>Выходы</translation>
    </message>
    <message>
        <source>Separated</source>
        <translation>Раздельно</translation>
    </message>
    <message>
        <source>United</source>
        <translation>Объединённо</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <source>Mask active: %1</source>
        <translation>Активна маска: %1</translation>
    </message>
    <message>
        <source>Light: %1   Sound: %2   %3</source>
        <translation>Свет: %1   Звук: %2   %3</translation>
    </message>
</context>
<context>
    <name>DI_Jorvu</name>
    <message>
        <source>Out 1 state</source>
        <translation>Состояние выхода 1</translation>
    </message>
    <message>
        <source>Out 2 state</source>
        <translation>Состояние выхода 2</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Обрыв</translation>
    </message>
    <message>
        <source>Short circuit</source>
        <translation>Короткое замыкание</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <source>Mask active: %1</source>
        <translation>Активна маска: %1</translation>
    </message>
    <message>
        <source>%1, Out #1: %2, Out #2: %3</source>
        <translation>%1, выход №1: %2, выход №2: %3</translation>
    </message>
</context>
<context>
    <name>DI_Lumeq</name>
    <message>
        <source>Reserve battery state</source>
        <translation>Состояние резервной батареи</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Sensor failure</source>
        <translation>Неисправность датчика</translation>
    </message>
    <message>
        <source>Detection distance</source>
        <translation>Дальность обнаружения</translation>
    </message>
    <message>
        <source>Detection time</source>
        <translation>Время обнаружения</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Диапазон</translation>
    </message>
    <message>
        <source>Long (&lt; 25m)</source>
        <translation>Дальний (&lt; 25 м)</translation>
    </message>
    <message>
        <source>Short (&lt; 12m)</source>
        <translation>Ближний (&lt; 12 м)</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>Slow (&gt; 10 s)</source>
        <translation>Медленно (&gt; 10 с)</translation>
    </message>
    <message>
        <source>Fast (&gt; 5 s)</source>
        <translation>Быстро (&gt; 5 с)</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Malfunction</source>
        <translation>Неисправность прибора</translation>
    </message>
    <message>
        <source>Dirty lens</source>
        <translation>Загрязнение линзы</translation>
    </message>
    <message>
        <source>Attention</source>
        <translation>Внимание</translation>
    </message>
    <message>
        <source>Fire</source>
        <translation>Пожар</translation>
    </message>
    <message>
        <source>Not responding</source>
        <translation>Не отвечает</translation>
    </message>
    <message>
        <source>Fixate</source>
        <translation>Зафиксировать</translation>
    </message>
</context>
<context>
    <name>DI_Mavo</name>
    <message>
        <source>Smoke level</source>
        <translation>Уровень дыма</translation>
    </message>
    <message>
        <source>Dust level</source>
        <translation>Уровень запылённости</translation>
    </message>
    <message>
        <source>Input type</source>
        <translation>Тип входа</translation>
    </message>
    <message>
        <source>Daytime fire threshold</source>
        <translation>Дневной порог пожара</translation>
    </message>
    <message>
        <source>Night fire threshold</source>
        <translation>Ночной порог пожара</translation>
    </message>
    <message>
        <source>Daytime warning threshold</source>
        <translation>Дневной порог предупреждения</translation>
    </message>
    <message>
        <source>Night warning threshold</source>
        <translation>Ночной порог предупреждения</translation>
    </message>
    <message>
        <source>Smoke fire</source>
        <translation>Пожарный дымовой</translation>
    </message>
    <message>
        <source>Smoke analogue</source>
        <translation>Аналоговый дымовой</translation>
    </message>
    <message>
        <source>Smoke sensor</source>
        <translation>Дымовой датчик</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Fire</source>
        <translation>Пожар</translation>
    </message>
    <message>
        <source>Dusted</source>
        <translation>Запылён</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>%1 dB/m</source>
        <translation>%1 дБ/м</translation>
    </message>
    <message>
        <source>Error code</source>
        <translation>Код ошибки</translation>
    </message>
    <message>
        <source>Smoke: %1</source>
        <translation>Дым: %1</translation>
    </message>
    <message>
        <source>Dust: %1</source>
        <translation>Пыль: %1</translation>
    </message>
</context>
<context>
    <name>DI_Nilvo</name>
    <message>
        <source>Battery state</source>
        <comment>nilvo2</comment>
        <translation>Состояние батареи</translation>
    </message>
    <message>
        <source>Work mode</source>
        <translation>Режим работы</translation>
    </message>
    <message>
        <source>Sensor counter mode</source>
        <translation>Режим счётчика датчика</translation>
    </message>
    <message>
        <source>Sensor speed mode</source>
        <translation>Скоростной режим датчика</translation>
    </message>
    <message>
        <source>Input 1 fault</source>
        <translation>Неисправность входа 1</translation>
    </message>
    <message>
        <source>Input 1 state</source>
        <translation>Состояние входа 1</translation>
    </message>
    <message>
        <source>Input 1 and 3 value</source>
        <translation>Значение входов 1 и 3</translation>
    </message>
    <message>
        <source>Input 2 fault</source>
        <translation>Неисправность входа 2</translation>
    </message>
    <message>
        <source>Input 2 state</source>
        <translation>Состояние входа 2</translation>
    </message>
    <message>
        <source>Input 2 value</source>
        <translation>Значение входа 2</translation>
    </message>
    <message>
        <source>Input 3 alarm</source>
        <translation>Тревога входа 3</translation>
    </message>
    <message>
        <source>Water counter</source>
        <translation>Счётчик воды</translation>
    </message>
    <message>
        <source>Water counter + leak detector</source>
        <translation>Счётчик воды + датчик протечки</translation>
    </message>
    <message>
        <source>Heat counter</source>
        <translation>Счётчик тепла</translation>
    </message>
    <message>
        <source>Counter mode</source>
        <comment>nilvo</comment>
        <translation>Режим счётчика</translation>
    </message>
    <message>
        <source>Relay</source>
        <translation>Реле</translation>
    </message>
    <message>
        <source>NAMUR</source>
        <translation>NAMUR</translation>
    </message>
    <message>
        <source>Speed mode</source>
        <translation>Скоростной режим</translation>
    </message>
    <message>
        <source>300 iph</source>
        <translation>300 имп/ч</translation>
    </message>
    <message>
        <source>500 iph</source>
        <translation>500 имп/ч</translation>
    </message>
    <message>
        <source>3000 iph</source>
        <translation>3000 имп/ч</translation>
    </message>
    <message>
        <source>5000 iph</source>
        <translation>5000 имп/ч</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Обрыв</translation>
    </message>
    <message>
        <source>Short circuit</source>
        <translation>Короткое замыкание</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Неизвестно</translation>
    </message>
    <message>
        <source>Input 1</source>
        <translation>Вход 1</translation>
    </message>
    <message>
        <source>Input 2</source>
        <translation>Вход 2</translation>
    </message>
    <message>
        <source>Input 3</source>
        <translation>Вход 3</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Counter</source>
        <translation>Счётчик</translation>
    </message>
    <message>
        <source>Reading</source>
        <translation>Чтение</translation>
    </message>
    <message>
        <source>Main battery state</source>
        <translation>Состояние основной батареи</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Разряжена</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Transmit interval</source>
        <translation>Интервал передачи</translation>
    </message>
    <message>
        <source>60 min</source>
        <translation>60 мин</translation>
    </message>
    <message>
        <source>30 sec</source>
        <translation>30 с</translation>
    </message>
    <message>
        <source>You can customize device behaviour:&lt;br&gt;Counter type:&lt;ul&gt;&lt;li&gt;&lt;b&gt;Relay&lt;/b&gt; - w\o sc and cut protection&lt;/li&gt;&lt;li&gt;&lt;b&gt;NAMUR&lt;/b&gt; - w\ SC and cut protection&lt;/li&gt;&lt;/ul&gt;&lt;b&gt;Leak detector&lt;/b&gt;: enable or disable external leak detector&lt;br&gt;</source>
        <translation>Вы можете настроить поведение устройства:&lt;br&gt;Тип счётчика:&lt;ul&gt;&lt;li&gt;&lt;b&gt;Реле&lt;/b&gt; - без защиты от КЗ и обрыва&lt;/li&gt;&lt;li&gt;&lt;b&gt;NAMUR&lt;/b&gt; - с защитой от КЗ и обрыва&lt;/li&gt;&lt;/ul&gt;&lt;b&gt;Датчик протечки&lt;/b&gt;: включение или отключение внешнего датчика протечки&lt;br&gt;</translation>
    </message>
    <message>
        <source>%1 imp</source>
        <translation>%1 имп</translation>
    </message>
    <message>
        <source>This means settings saving can take a long time up to several hours. If you want to wake up device you should tap case button.
Save changes?</source>
        <translation>Это значит, что сохранение настроек может занять много времени, до нескольких часов. Чтобы разбудить устройство, нажмите кнопку на корпусе.
Сохранить изменения?</translation>
    </message>
    <message>
        <source>It is recommended to set the polling rate to 300 or 500 imp/hour.</source>
        <translation>Рекомендуется установить скорость опроса 300 или 500 имп/час.</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Not assigned</source>
        <translation>Не назначен</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Input 1: %1%4, Input2: %2%5, sensor: %3, %6</source>
        <translation>Вход 1: %1%4, Вход2: %2%5, датчик: %3, %6</translation>
    </message>
    <message>
        <source>Input 1: %1%3, Input2: %2%4, %5</source>
        <translation>Вход 1: %1%3, Вход2: %2%4, %5</translation>
    </message>
    <message>
        <source>Input 3: %1, %2</source>
        <translation>Вход 3: %1, %2</translation>
    </message>
</context>
<context>
    <name>DI_Olvek</name>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Sensor state</source>
        <translation>Состояние датчика</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <translation>Чувствительность</translation>
    </message>
    <message>
        <source>Testing mode</source>
        <translation>Тестовый режим</translation>
    </message>
    <message>
        <source>Level 1 (max)</source>
        <translation>Уровень 1 (макс.)</translation>
    </message>
    <message>
        <source>Level 2</source>
        <translation>Уровень 2</translation>
    </message>
    <message>
        <source>Level 3</source>
        <translation>Уровень 3</translation>
    </message>
    <message>
        <source>Level 4 (min)</source>
        <translation>Уровень 4 (мин.)</translation>
    </message>
    <message>
        <source>Test mode</source>
        <translation>Тестовый режим</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Выключено</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Включено</translation>
    </message>
    <message>
        <source>IR Sensor</source>
        <translation>ИК-датчик</translation>
    </message>
    <message>
        <source>Movement</source>
        <translation>Движение</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>No movement detected</source>
        <translation>Движение не обнаружено</translation>
    </message>
    <message>
        <source>Movement detected</source>
        <translation>Обнаружено движение</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Enabling</source>
        <translation>Включение</translation>
    </message>
    <message>
        <source>Sensor is off</source>
        <translation>Датчик выключен</translation>
    </message>
    <message>
        <source>High</source>
        <comment>sensitivity</comment>
        <translation>Высокая</translation>
    </message>
    <message>
        <source>Low</source>
        <comment>sensitivity</comment>
        <translation>Низкая</translation>
    </message>
</context>
<context>
    <name>DI_Olvek_ISP2</name>
    <message>
        <source>high</source>
        <translation>высокая</translation>
    </message>
    <message>
        <source>low</source>
        <translation>низкая</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <translation>Чувствительность</translation>
    </message>
</context>
<context>
    <name>DI_Plimsa</name>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>Напряжение</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Ток</translation>
    </message>
    <message>
        <source>Active power</source>
        <translation>Активная мощность</translation>
    </message>
    <message>
        <source>Off by default</source>
        <translation>Выключено по умолчанию</translation>
    </message>
    <message>
        <source>No connection with MK</source>
        <translation>Нет связи с МК</translation>
    </message>
    <message>
        <source>Power unit not calibrated</source>
        <translation>Блок питания не откалиброван</translation>
    </message>
    <message>
        <source>Disabled by upper current threshold</source>
        <translation>Отключено по верхнему порогу тока</translation>
    </message>
    <message>
        <source>Disabled on lower voltage threshold</source>
        <translation>Отключено по нижнему порогу напряжения</translation>
    </message>
    <message>
        <source>Disabled by upper voltage threshold</source>
        <translation>Отключено по верхнему порогу напряжения</translation>
    </message>
    <message>
        <source>Turned on by button</source>
        <translation>Включено кнопкой</translation>
    </message>
    <message>
        <source>Turned off by button</source>
        <translation>Выключено кнопкой</translation>
    </message>
    <message>
        <source>Turned on by mask</source>
        <translation>Включено маской</translation>
    </message>
    <message>
        <source>Turned off by mask</source>
        <translation>Выключено маской</translation>
    </message>
    <message>
        <source>Internal voltage</source>
        <translation>Внутреннее напряжение</translation>
    </message>
    <message>
        <source>Active mask: %1</source>
        <translation>Активная маска: %1</translation>
    </message>
    <message>
        <source>%1 V</source>
        <translation>%1 В</translation>
    </message>
    <message>
        <source>%1 A</source>
        <translation>%1 А</translation>
    </message>
    <message>
        <source>%1 W</source>
        <translation>%1 Вт</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Связь потеряна</translation>
    </message>
    <message>
        <source>, Voltage: %1, Current: %2, Power: %3</source>
        <translation>, напряжение: %1, ток: %2, мощность: %3</translation>
    </message>
</context>
<context>
    <name>DI_Pondra</name>
    <message>
        <source>Fail</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <source>Mask active: %1</source>
        <translation>Активна маска: %1</translation>
    </message>
    <message>
        <source>Reserv battery state</source>
        <translation>Состояние резервной батареи</translation>
    </message>
    <message>
        <source>Display</source>
        <translation>Табло</translation>
    </message>
    <message>
        <source>Wall Control</source>
        <translation>Настенное управление</translation>
    </message>
    <message>
        <source>Condition of the case</source>
        <translation>Состояние корпуса</translation>
    </message>
    <message>
        <source>Case is closed</source>
        <translation>Корпус закрыт</translation>
    </message>
    <message>
        <source>Case is open</source>
        <translation>Корпус открыт</translation>
    </message>
    <message>
        <source>Detachment from the wall</source>
        <translation>Отрыв от стены</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Detached</source>
        <translation>Оторван</translation>
    </message>
    <message>
        <source>Emergency sign</source>
        <translation>Световое табло</translation>
    </message>
    <message>
        <source>Display: %1, %2</source>
        <translation>Табло: %1, %2</translation>
    </message>
</context>
<context>
    <name>DI_Pondra_24_220</name>
    <message>
        <source>Wall control</source>
        <translation>Настенное управление</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Корпус</translation>
    </message>
    <message>
        <source>Wall</source>
        <translation>Стена</translation>
    </message>
    <message>
        <source>Extern line state</source>
        <translation>Состояние внешней линии</translation>
    </message>
    <message>
        <source>External source voltage</source>
        <translation>Напряжение внешнего источника</translation>
    </message>
    <message>
        <source>Battery state</source>
        <translation>Состояние батареи</translation>
    </message>
    <message>
        <source>Battery voltage</source>
        <translation>Напряжение батареи</translation>
    </message>
    <message>
        <source>Board state</source>
        <translation>Состояние табло</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Яркость</translation>
    </message>
    <message>
        <source>Minimum</source>
        <translation>Минимальная</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>Средняя</translation>
    </message>
    <message>
        <source>Maximum</source>
        <translation>Максимальная</translation>
    </message>
    <message>
        <source>Wall Control</source>
        <translation>Настенное управление</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <source>Not detected</source>
        <translation>Не обнаружен</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Low</source>
        <comment>External</comment>
        <translation>Низкое</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Высокое</translation>
    </message>
    <message>
        <source>Internal voltage</source>
        <translation>Внутреннее напряжение</translation>
    </message>
    <message>
        <source>Condition of the case</source>
        <translation>Состояние корпуса</translation>
    </message>
    <message>
        <source>Case is closed</source>
        <translation>Корпус закрыт</translation>
    </message>
    <message>
        <source>Case is open</source>
        <translation>Корпус открыт</translation>
    </message>
    <message>
        <source>Detachment from the wall</source>
        <translation>Отрыв от стены</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Detached</source>
        <translation>Оторван</translation>
    </message>
    <message>
        <source>Emergency sign</source>
        <translation>Световое табло</translation>
    </message>
    <message>
        <source>Power</source>
        <comment>Supply</comment>
        <translation>Питание</translation>
    </message>
    <message>
        <source>External source</source>
        <translation>Внешний источник</translation>
    </message>
    <message>
        <source>Voltage</source>
        <comment>External</comment>
        <translation>Напряжение</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Батарея</translation>
    </message>
    <message>
        <source>Voltage</source>
        <comment>Battery</comment>
        <translation>Напряжение</translation>
    </message>
    <message>
        <source>%1 V</source>
        <translation>%1 В</translation>
    </message>
    <message>
        <source>Display: %1</source>
        <translation>Табло: %1</translation>
    </message>
    <message>
        <source>Case open</source>
        <translation>Корпус вскрыт</translation>
    </message>
    <message>
        <source>External power: %1</source>
        <translation>Внешнее питание: %1</translation>
    </message>
    <message>
        <source>Battery: %1</source>
        <translation>Батарея: %1</translation>
    </message>
    <message>
        <source>Break away from the wall</source>
        <translation>Оторван от стены</translation>
    </message>
</context>
<context>
    <name>DI_Rufta</name>
    <message>
        <source>Reserve battery state</source>
        <translation>Состояние резервной батареи</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Leakage sensor</source>
        <translation>Датчик протечки</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>No leak</source>
        <translation>Нет протечки</translation>
    </message>
    <message>
        <source>Leak detected</source>
        <translation>Обнаружена протечка</translation>
    </message>
    <message>
        <source>Short circuit</source>
        <translation>Короткое замыкание</translation>
    </message>
    <message>
        <source>Flood alarm</source>
        <translation>Тревога затопления</translation>
    </message>
</context>
<context>
    <name>DI_Rufta_ISP1</name>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Main power low</source>
        <translation>Низкое напряжение основного питания</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
</context>
<context>
    <name>DI_Sebrel</name>
    <message>
        <source>External source</source>
        <translation>Внешний источник</translation>
    </message>
    <message>
        <source>Voltage external source</source>
        <translation>Напряжение внешнего источника</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Батарея</translation>
    </message>
    <message>
        <source>Voltage battery</source>
        <translation>Напряжение батареи</translation>
    </message>
    <message>
        <source>Not detected</source>
        <translation>Не обнаружен</translation>
    </message>
    <message>
        <source>Ok</source>
        <comment>External</comment>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Low voltage</source>
        <comment>External</comment>
        <translation>Низкое напряжение</translation>
    </message>
    <message>
        <source>High voltage</source>
        <translation>Высокое напряжение</translation>
    </message>
    <message>
        <source>Measuring error</source>
        <translation>Ошибка измерения</translation>
    </message>
    <message>
        <source>Internal voltage</source>
        <translation>Внутреннее напряжение</translation>
    </message>
    <message>
        <source>%1 V</source>
        <translation>%1 В</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Связь потеряна</translation>
    </message>
    <message>
        <source>External power: %1</source>
        <translation>Внешнее питание: %1</translation>
    </message>
    <message>
        <source>Battery: %1</source>
        <translation>Батарея: %1</translation>
    </message>
    <message>
        <source>Case open</source>
        <translation>Корпус вскрыт</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
</context>
<context>
    <name>DI_Sebrel_ISP02</name>
    <message>
        <source>External source 1</source>
        <translation>Внешний источник 1</translation>
    </message>
    <message>
        <source>Voltage external source 1</source>
        <translation>Напряжение внешнего источника 1</translation>
    </message>
    <message>
        <source>External source 2</source>
        <translation>Внешний источник 2</translation>
    </message>
    <message>
        <source>Voltage external source 2</source>
        <translation>Напряжение внешнего источника 2</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Батарея</translation>
    </message>
    <message>
        <source>Voltage battery</source>
        <translation>Напряжение батареи</translation>
    </message>
    <message>
        <source>Reserve power supply</source>
        <translation>Резервный источник питания</translation>
    </message>
    <message>
        <source>%1 V</source>
        <translation>%1 В</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Связь потеряна</translation>
    </message>
    <message>
        <source>External 1 power: %1</source>
        <translation>Внешнее питание 1: %1</translation>
    </message>
    <message>
        <source>External 2 power: %1</source>
        <translation>Внешнее питание 2: %1</translation>
    </message>
</context>
<context>
    <name>DI_Taskel</name>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Движение</translation>
    </message>
    <message>
        <source>Near zone</source>
        <translation>Ближняя зона</translation>
    </message>
    <message>
        <source>Near zone sensitivity</source>
        <translation>Чувствительность ближней зоны</translation>
    </message>
    <message>
        <source>Far zone</source>
        <translation>Дальняя зона</translation>
    </message>
    <message>
        <source>Far zone sensitivity</source>
        <translation>Чувствительность дальней зоны</translation>
    </message>
    <message>
        <source>Testing mode</source>
        <translation>Тестовый режим</translation>
    </message>
    <message>
        <source>Level 1 (max)</source>
        <comment>near</comment>
        <translation>Уровень 1 (макс.)</translation>
    </message>
    <message>
        <source>Level 2</source>
        <comment>near</comment>
        <translation>Уровень 2</translation>
    </message>
    <message>
        <source>Level 3</source>
        <comment>near</comment>
        <translation>Уровень 3</translation>
    </message>
    <message>
        <source>Level 4 (min)</source>
        <comment>near</comment>
        <translation>Уровень 4 (мин.)</translation>
    </message>
    <message>
        <source>Level 1 (max)</source>
        <comment>far</comment>
        <translation>Уровень 1 (макс.)</translation>
    </message>
    <message>
        <source>Level 2</source>
        <comment>far</comment>
        <translation>Уровень 2</translation>
    </message>
    <message>
        <source>Level 3</source>
        <comment>far</comment>
        <translation>Уровень 3</translation>
    </message>
    <message>
        <source>Level 4 (min)</source>
        <comment>far</comment>
        <translation>Уровень 4 (мин.)</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <comment>near</comment>
        <translation>Чувствительность</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <comment>far</comment>
        <translation>Чувствительность</translation>
    </message>
    <message>
        <source>Test mode</source>
        <translation>Тестовый режим</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Выключено</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Включено</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Enabling</source>
        <translation>Включение</translation>
    </message>
    <message>
        <source>IR Sensors</source>
        <translation>ИК-датчики</translation>
    </message>
    <message>
        <source>Movement</source>
        <translation>Движение</translation>
    </message>
    <message>
        <source>Off (Energy saving)</source>
        <translation>Выкл (энергосбережение)</translation>
    </message>
    <message>
        <source>No movement detected</source>
        <translation>Движение не обнаружено</translation>
    </message>
    <message>
        <source>Movement detected</source>
        <translation>Обнаружено движение</translation>
    </message>
    <message>
        <source>ADC Value</source>
        <translation>Значение АЦП</translation>
    </message>
    <message>
        <source>Sensor is off</source>
        <translation>Датчик выключен</translation>
    </message>
</context>
<context>
    <name>DI_Tirun</name>
    <message>
        <source>TIRUN Gerkon</source>
        <translation>Геркон TIRUN</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>No magnet</source>
        <translation>Нет магнита</translation>
    </message>
    <message>
        <source>Gerkon 1</source>
        <translation>Геркон 1</translation>
    </message>
    <message>
        <source>Gerkon 2</source>
        <translation>Геркон 2</translation>
    </message>
    <message>
        <source>Sabotage</source>
        <translation>Саботаж</translation>
    </message>
    <message>
        <source>Sabotage</source>
        <comment>Anti masking</comment>
        <translation>Саботаж</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Выключить</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Включить</translation>
    </message>
    <message>
        <source>Controlled circuit</source>
        <comment>tirun</comment>
        <translation>Контролируемый шлейф</translation>
    </message>
    <message>
        <source>Enable controlled circuit</source>
        <translation>Включить контролируемый шлейф</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>Short circuit</source>
        <translation>Короткое замыкание</translation>
    </message>
    <message>
        <source>Fail 1</source>
        <translation>Неисправность 1</translation>
    </message>
    <message>
        <source>Norma</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Fail 2</source>
        <translation>Неисправность 2</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>Прервать</translation>
    </message>
    <message>
        <source>ADC</source>
        <translation>АЦП</translation>
    </message>
    <message>
        <source>You can customize device behaviour:&lt;br&gt;&lt;b&gt;Cable on\off&lt;/b&gt;: set to on if you want to connect additional wired sensor to device</source>
        <translation>Вы можете настроить поведение устройства:&lt;br&gt;&lt;b&gt;Шлейф вкл\выкл&lt;/b&gt;: включите, если хотите подключить к устройству дополнительный проводной датчик</translation>
    </message>
    <message>
        <source>Work mode</source>
        <translation>Режим работы</translation>
    </message>
    <message>
        <source>Gerkon alarm</source>
        <translation>Тревога геркона</translation>
    </message>
    <message>
        <source>Gerkon state</source>
        <translation>Состояние геркона</translation>
    </message>
    <message>
        <source>Cable alarm</source>
        <translation>Тревога шлейфа</translation>
    </message>
    <message>
        <source>Cable value</source>
        <translation>Значение шлейфа</translation>
    </message>
    <message>
        <source>Main power failed</source>
        <translation>Неисправность основного питания</translation>
    </message>
    <message>
        <source>Reed switch: %1</source>
        <translation>Геркон: %1</translation>
    </message>
    <message>
        <source> (sabotage)</source>
        <translation> (саботаж)</translation>
    </message>
    <message>
        <source>Case open</source>
        <translation>Корпус вскрыт</translation>
    </message>
    <message>
        <source>Cable: %1</source>
        <translation>Шлейф: %1</translation>
    </message>
    <message>
        <source>Enable anti-masking</source>
        <translation>Включить антимаскинг</translation>
    </message>
    <message>
        <source>Disable anti-masking</source>
        <translation>Выключить антимаскинг</translation>
    </message>
</context>
<context>
    <name>DI_Vindrak</name>
    <message>
        <source>Notification handler</source>
        <translation>Обработка оповещений</translation>
    </message>
    <message>
        <source>Separated</source>
        <translation>Раздельно</translation>
    </message>
    <message>
        <source>United</source>
        <translation>Объединённо</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Яркость</translation>
    </message>
    <message>
        <source>Volume</source>
        <translation>Громкость</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Dead</source>
        <translation>Разряжена полностью</translation>
    </message>
    <message>
        <source>Low</source>
        <comment>Battery</comment>
        <translation>Низкое</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Main battery state</source>
        <translation>Состояние основной батареи</translation>
    </message>
    <message>
        <source>Reserve battery state</source>
        <translation>Состояние резервной батареи</translation>
    </message>
    <message>
        <source>Main voltage</source>
        <translation>Основное напряжение</translation>
    </message>
    <message>
        <source>Reserve voltage</source>
        <translation>Резервное напряжение</translation>
    </message>
    <message>
        <source>Light notification</source>
        <translation>Световое оповещение</translation>
    </message>
    <message>
        <source>Sound notification</source>
        <translation>Звуковое оповещение</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <source>Mask active: %1</source>
        <translation>Активна маска: %1</translation>
    </message>
    <message>
        <source>%1 mV</source>
        <translation>%1 мВ</translation>
    </message>
    <message>
        <source>%1 V</source>
        <translation>%1 В</translation>
    </message>
    <message>
        <source>Light: %1   Sound: %2   %3</source>
        <translation>Свет: %1   Звук: %2   %3</translation>
    </message>
</context>
<context>
    <name>DI_Vuxo_ISP1</name>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Sensor state</source>
        <translation>Состояние датчика</translation>
    </message>
    <message>
        <source>Interference</source>
        <translation>Помехи</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <translation>Чувствительность</translation>
    </message>
    <message>
        <source>Sensor fault</source>
        <translation>Неисправность датчика</translation>
    </message>
    <message>
        <source>Acoustic sensor</source>
        <translation>Акустический датчик</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Powersave</source>
        <translation>Энергосбережение</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Активен</translation>
    </message>
    <message>
        <source>Test mode</source>
        <translation>Тестовый режим</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Макс.</translation>
    </message>
    <message>
        <source>-12 dB</source>
        <translation>-12 дБ</translation>
    </message>
    <message>
        <source>-6 dB</source>
        <translation>-6 дБ</translation>
    </message>
    <message>
        <source>-18 dB (min)</source>
        <translation>-18 дБ (мин.)</translation>
    </message>
    <message>
        <source>Debug</source>
        <translation>Отладка</translation>
    </message>
    <message>
        <source>Debug State</source>
        <translation>Состояние отладки</translation>
    </message>
    <message>
        <source>Disable test mode</source>
        <translation>Выключить тестовый режим</translation>
    </message>
    <message>
        <source>Enable test mode</source>
        <translation>Включить тестовый режим</translation>
    </message>
    <message>
        <source>No command</source>
        <translation>Нет команды</translation>
    </message>
    <message>
        <source>Status: %1</source>
        <translation>Статус: %1</translation>
    </message>
    <message>
        <source>Test: %1</source>
        <translation>Тест: %1</translation>
    </message>
    <message>
        <source>Cal.: %1</source>
        <translation>Калибр.: %1</translation>
    </message>
    <message>
        <source>Cal. 1b: %1</source>
        <translation>Калибр. 1б: %1</translation>
    </message>
    <message>
        <source>Cal. 2b: %1</source>
        <translation>Калибр. 2б: %1</translation>
    </message>
    <message>
        <source>Dis. Noise</source>
        <translation>Шум выкл.</translation>
    </message>
    <message>
        <source>En. Noise</source>
        <translation>Шум вкл.</translation>
    </message>
</context>
<context>
    <name>DI_Wemdar</name>
    <message>
        <source>Temperature sensor fail</source>
        <translation>Неисправность датчика температуры</translation>
    </message>
    <message>
        <source>Humidity sensor fail</source>
        <translation>Неисправность датчика влажности</translation>
    </message>
    <message>
        <source>CO sensor fail</source>
        <translation>Неисправность датчика CO</translation>
    </message>
    <message>
        <source>Temperature sensor alarm</source>
        <translation>Тревога датчика температуры</translation>
    </message>
    <message>
        <source>Humidity sensor alarm</source>
        <translation>Тревога датчика влажности</translation>
    </message>
    <message>
        <source>CO sensor alarm</source>
        <translation>Тревога датчика CO</translation>
    </message>
    <message>
        <source>Temperature sensor settings</source>
        <translation>Настройки датчика температуры</translation>
    </message>
    <message>
        <source>Humidity sensor settings</source>
        <translation>Настройки датчика влажности</translation>
    </message>
    <message>
        <source>CO sensor settings</source>
        <translation>Настройки датчика CO</translation>
    </message>
    <message>
        <source>Temperature value</source>
        <translation>Значение температуры</translation>
    </message>
    <message>
        <source>Humidity value</source>
        <translation>Значение влажности</translation>
    </message>
    <message>
        <source>CO value</source>
        <translation>Значение CO</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Температура</translation>
    </message>
    <message>
        <source>Humidity</source>
        <translation>Влажность</translation>
    </message>
    <message>
        <source>CO</source>
        <translation>CO</translation>
    </message>
    <message>
        <source>Sensor</source>
        <translation>Датчик</translation>
    </message>
    <message>
        <source>%1°C</source>
        <translation>%1°C</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1%</translation>
    </message>
    <message>
        <source>%1 ppm</source>
        <translation>%1 ppm</translation>
    </message>
</context>
<context>
    <name>DI_Yolvik</name>
    <message>
        <source>Gerkon alarm</source>
        <translation>Тревога геркона</translation>
    </message>
    <message>
        <source>Gerkon</source>
        <translation>Геркон</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Gerkon: %1, %2</source>
        <translation>Геркон: %1, %2</translation>
    </message>
</context>
<context>
    <name>DI_Yolvik_ISP1</name>
    <message>
        <source>Shift sensor</source>
        <comment>yolvik</comment>
        <translation>Датчик смещения</translation>
    </message>
    <message>
        <source>Alarm accelerometer</source>
        <translation>Тревога акселерометра</translation>
    </message>
    <message>
        <source>Shift state</source>
        <translation>Состояние смещения</translation>
    </message>
    <message>
        <source>Shift sensitivity</source>
        <translation>Чувствительность к смещению</translation>
    </message>
    <message>
        <source>Shift detection</source>
        <translation>Обнаружение смещения</translation>
    </message>
    <message>
        <source>Lean state</source>
        <translation>Состояние наклона</translation>
    </message>
    <message>
        <source>Tilt sensitivity</source>
        <translation>Чувствительность к наклону</translation>
    </message>
    <message>
        <source>Tilt detection</source>
        <translation>Обнаружение наклона</translation>
    </message>
    <message>
        <source>Tilt auto fix</source>
        <translation>Автофиксация наклона</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Выключено</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Включено</translation>
    </message>
    <message>
        <source>Highest</source>
        <translation>Наивысшая</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Auto fixate</source>
        <translation>Автофиксация</translation>
    </message>
    <message>
        <source>not detected</source>
        <translation>не обнаружено</translation>
    </message>
    <message>
        <source>detected</source>
        <translation>обнаружено</translation>
    </message>
    <message>
        <source>Tilt</source>
        <translation>Наклон</translation>
    </message>
    <message>
        <source>Shift</source>
        <translation>Смещение</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Noise</source>
        <translation>Шум</translation>
    </message>
    <message>
        <source>Fixate</source>
        <translation>Зафиксировать</translation>
    </message>
    <message>
        <source>Enable accelerometer</source>
        <translation>Включить акселерометр</translation>
    </message>
    <message>
        <source>Disable accelerometer</source>
        <translation>Выключить акселерометр</translation>
    </message>
    <message>
        <source>Motion: %1, Tilt: %2</source>
        <translation>Смещение: %1, Наклон: %2</translation>
    </message>
    <message>
        <source>High</source>
        <comment>sensitivity</comment>
        <translation>Высокая</translation>
    </message>
    <message>
        <source>Low</source>
        <comment>sensitivity</comment>
        <translation>Низкая</translation>
    </message>
</context>
<context>
    <name>DI_Yolvik_ISP2</name>
    <message>
        <source>Gerkon alarm</source>
        <translation>Тревога геркона</translation>
    </message>
    <message>
        <source>Gerkon</source>
        <translation>Геркон</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Reed switch: %1</source>
        <translation>Геркон: %1</translation>
    </message>
</context>
<context>
    <name>DI_Zelvo</name>
    <message>
        <source>Liter value</source>
        <translation>Значение в литрах</translation>
    </message>
    <message>
        <source>Gerkon alarm</source>
        <translation>Тревога геркона</translation>
    </message>
    <message>
        <source>Counter</source>
        <translation>Счётчик</translation>
    </message>
    <message>
        <source>S/N</source>
        <translation>С/Н</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Requesting data...</source>
        <translation>Запрос данных...</translation>
    </message>
    <message>
        <source>Reed</source>
        <translation>Геркон</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Transmit interval</source>
        <translation>Интервал передачи</translation>
    </message>
    <message>
        <source>60 min</source>
        <translation>60 мин</translation>
    </message>
    <message>
        <source>15 sec</source>
        <translation>15 с</translation>
    </message>
    <message>
        <source>l</source>
        <translation>л</translation>
    </message>
    <message>
        <source>Please wait while saving data</source>
        <translation>Подождите, идёт сохранение данных</translation>
    </message>
    <message>
        <source>Deactivating...</source>
        <translation>Деактивация...</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Вход</translation>
    </message>
    <message>
        <source>s/n</source>
        <translation>с/н</translation>
    </message>
    <message>
        <source>This means settings saving can take a long time up to several hours. If you want to wake up device you should hold magnet for a moment next to the arrow sign.</source>
        <translation>Это значит, что сохранение настроек может занять много времени, до нескольких часов. Чтобы разбудить устройство, поднесите магнит на мгновение к знаку стрелки.</translation>
    </message>
    <message>
        <source>Continue anyway</source>
        <translation>Всё равно продолжить</translation>
    </message>
</context>
<context>
    <name>DI_security</name>
    <message>
        <source>Alarm key</source>
        <translation>Тревожная кнопка</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>No alarm</source>
        <translation>Нет тревоги</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Not pressed</source>
        <translation>Не нажата</translation>
    </message>
    <message>
        <source>Pressed</source>
        <translation>Нажата</translation>
    </message>
</context>
<context>
    <name>DateTimeRange</name>
    <message>
        <source>Day</source>
        <translation>День</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>hh:mm:ss.zzz</source>
        <translation>hh:mm:ss.zzz</translation>
    </message>
    <message>
        <source>Measurements saving</source>
        <translation>Сохранение измерений</translation>
    </message>
    <message>
        <source>Save measurements to</source>
        <translation>Сохранить измерения в</translation>
    </message>
    <message>
        <source>not selected</source>
        <translation>не выбрано</translation>
    </message>
    <message>
        <source>Start</source>
        <comment>range start</comment>
        <translation>Начало</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Конец</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Can&apos;t open database for backup</source>
        <translation>Не удаётся открыть базу данных для резервной копии</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>неизвестная ошибка</translation>
    </message>
    <message>
        <source>Measurements saved</source>
        <translation>Измерения сохранены</translation>
    </message>
    <message>
        <source>Save measurements</source>
        <translation>Сохранение измерений</translation>
    </message>
    <message>
        <source>Measurements not saved: %1</source>
        <translation>Измерения не сохранены: %1</translation>
    </message>
</context>
<context>
    <name>DeviceConnection</name>
    <message>
        <source>Reconnection to %1</source>
        <translation>Повторное подключение к %1</translation>
    </message>
    <message>
        <source>Reconnect breaked</source>
        <translation>Повторное подключение прервано</translation>
    </message>
    <message>
        <source>TetherInterface::statusChanged (%1): </source>
        <translation>TetherInterface::statusChanged (%1): </translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Связь потеряна</translation>
    </message>
    <message>
        <source>Error occured</source>
        <translation>Произошла ошибка</translation>
    </message>
    <message>
        <source>BLE device connected</source>
        <translation>BLE-устройство подключено</translation>
    </message>
    <message>
        <source>BLE interface ready</source>
        <translation>Интерфейс BLE готов</translation>
    </message>
    <message>
        <source>Try to readMasterDevice()</source>
        <translation>Попытка readMasterDevice()</translation>
    </message>
    <message>
        <source>The master&apos;s status answer is too short (%1 bytes): the master cannot be read.</source>
        <translation>Ответ мастера о состоянии слишком короткий (%1 байт): мастер не может быть прочитан.</translation>
    </message>
</context>
<context>
    <name>DeviceDiscoveryAgent</name>
    <message>
        <source>Available modules: </source>
        <translation>Доступные модули: </translation>
    </message>
</context>
<context>
    <name>DeviceEepromManager</name>
    <message>
        <source>Device #%1</source>
        <translation>Устройство #%1</translation>
    </message>
    <message>
        <source>%1 #%2</source>
        <translation>%1 #%2</translation>
    </message>
</context>
<context>
    <name>DeviceInfoCollector</name>
    <message>
        <source>Another running program records measurements into %1; this one records into %2</source>
        <translation>Другая запущенная программа записывает измерения в %1; эта программа записывает их в %2</translation>
    </message>
    <message>
        <source>It cannot be renamed to %1: %2</source>
        <translation>Его нельзя переименовать в %1: %2</translation>
    </message>
</context>
<context>
    <name>DeviceItem</name>
    <message>
        <source>Work mode</source>
        <translation>Режим работы</translation>
    </message>
    <message>
        <source>Function</source>
        <translation>Функция</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Корпус</translation>
    </message>
    <message>
        <source>Case control</source>
        <translation>Контроль корпуса</translation>
    </message>
    <message>
        <source>Battery state</source>
        <translation>Состояние батареи</translation>
    </message>
    <message>
        <source>Battery voltage</source>
        <translation>Напряжение батареи</translation>
    </message>
    <message>
        <source>Reserv power</source>
        <translation>Резервное питание</translation>
    </message>
    <message>
        <source>RL</source>
        <translation>RL</translation>
    </message>
    <message>
        <source>Signal level</source>
        <translation>Уровень сигнала</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Undefined</source>
        <translation>Не определено</translation>
    </message>
    <message>
        <source>WD Type</source>
        <translation>Тип устройства</translation>
    </message>
    <message>
        <source>S/N</source>
        <translation>С/Н</translation>
    </message>
    <message>
        <source>Kastrel address</source>
        <translation>Адрес Kastrel</translation>
    </message>
    <message>
        <source>Wireloop address</source>
        <translation>Адрес Wireloop</translation>
    </message>
    <message>
        <source>Radio address</source>
        <translation>Радиоадрес</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Opened</source>
        <translation>Вскрыт</translation>
    </message>
    <message>
        <source>Closed</source>
        <translation>Закрыт</translation>
    </message>
    <message>
        <source>Main battery state</source>
        <translation>Состояние основной батареи</translation>
    </message>
    <message>
        <source>Not inserted</source>
        <translation>Не установлена</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Разряжена</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>Main battery voltage</source>
        <translation>Напряжение основной батареи</translation>
    </message>
    <message>
        <source>Reserve battery state</source>
        <translation>Состояние резервной батареи</translation>
    </message>
    <message>
        <source>Not assigned</source>
        <translation>Не назначен</translation>
    </message>
    <message>
        <source> #%1
%2 
(hw: %3 fw: %4)
s/n: %5</source>
        <translation> #%1
%2 
(hw: %3 fw: %4)
с/н: %5</translation>
    </message>
    <message>
        <source>0 V</source>
        <translation>0 В</translation>
    </message>
    <message>
        <source>%1 V</source>
        <translation>%1 В</translation>
    </message>
    <message>
        <source>Plot RSSI data</source>
        <translation>График RSSI</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Связь потеряна</translation>
    </message>
    <message>
        <source>Fire</source>
        <translation>Пожар</translation>
    </message>
    <message>
        <source>Fire extinguishing start</source>
        <translation>Пуск пожаротушения</translation>
    </message>
    <message>
        <source>Smoke exhaust start</source>
        <translation>Пуск дымоудаления</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Main power failed</source>
        <translation>Неисправность основного питания</translation>
    </message>
    <message>
        <source>Reserve power failed</source>
        <translation>Неисправность резервного питания</translation>
    </message>
    <message>
        <source>Case open</source>
        <translation>Корпус вскрыт</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Норма</translation>
    </message>
    <message>
        <source>%1    RSSI: %2
    power supply voltage: %3</source>
        <translation>%1    RSSI: %2
    напряжение питания: %3</translation>
    </message>
    <message>
        <source>

    Versions:
        HW: %1
        FW: %2</source>
        <translation>

    Версии:
        HW: %1
        FW: %2</translation>
    </message>
    <message>
        <source>

    RL: %1</source>
        <translation>

    RL: %1</translation>
    </message>
    <message>
        <source>%1 dBm</source>
        <translation>%1 дБм</translation>
    </message>
    <message>
        <source>Info collector installed in %1 %2: %3</source>
        <translation>Сборщик данных установлен в %1 %2: %3</translation>
    </message>
    <message>
        <source>Wireloop address changing canceled</source>
        <translation>Изменение адреса Wireloop отменено</translation>
    </message>
    <message>
        <source>Wireloop address changing</source>
        <translation>Изменение адреса Wireloop</translation>
    </message>
    <message>
        <source>Failed to change device address</source>
        <translation>Не удалось изменить адрес устройства</translation>
    </message>
    <message>
        <source>Failed to change kastrel address</source>
        <translation>Не удалось изменить адрес Kastrel</translation>
    </message>
    <message>
        <source>Wireloop clone error</source>
        <translation>Ошибка клонирования Wireloop</translation>
    </message>
    <message>
        <source>Comand CLONE_DEV not handled</source>
        <translation>Команда CLONE_DEV не обработана</translation>
    </message>
</context>
<context>
    <name>DeviceItemDelegate</name>
    <message>
        <source>Zentar-TROMBEL</source>
        <translation>Zentar-TROMBEL</translation>
    </message>
    <message>
        <source>LOST</source>
        <translation>ПОТЕРЯН</translation>
    </message>
</context>
<context>
    <name>DeviceOutputControl</name>
    <message>
        <source>Relay control</source>
        <translation>Управление реле</translation>
    </message>
    <message>
        <source>Output control</source>
        <translation>Управление выходом</translation>
    </message>
    <message>
        <source>The command has been sent to zone %1</source>
        <translation>Команда отправлена в зону %1</translation>
    </message>
</context>
<context>
    <name>DeviceRSSIPlot</name>
    <message>
        <source>Plot RSSI plot</source>
        <translation>График RSSI</translation>
    </message>
    <message>
        <source>dBm</source>
        <translation>дБм</translation>
    </message>
    <message>
        <source>RF offset</source>
        <translation>Смещение частоты</translation>
    </message>
    <message>
        <source>Device RSSI plot unsupported</source>
        <translation>График RSSI не поддерживается устройством</translation>
    </message>
    <message>
        <source>Device RSSI plot</source>
        <translation>График RSSI устройства</translation>
    </message>
    <message>
        <source>RSSI measured device</source>
        <translation>RSSI, измеренный устройством</translation>
    </message>
    <message>
        <source>RSSI measured master</source>
        <translation>RSSI, измеренный мастером</translation>
    </message>
    <message>
        <source>Noise</source>
        <translation>Шум</translation>
    </message>
    <message>
        <source>Max noise</source>
        <translation>Максимальный шум</translation>
    </message>
    <message>
        <source>Signal to noise</source>
        <translation>Сигнал/шум</translation>
    </message>
</context>
<context>
    <name>DeviceTableModel</name>
    <message>
        <source>Zentar-TROMBEL</source>
        <translation>Zentar-TROMBEL</translation>
    </message>
    <message>
        <source>unsupported</source>
        <translation>не поддерживается</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>s/n</source>
        <translation>с/н</translation>
    </message>
    <message>
        <source>FW</source>
        <translation>ПО</translation>
    </message>
    <message>
        <source>HW</source>
        <translation>Аппаратура</translation>
    </message>
    <message>
        <source>RSSI</source>
        <translation>RSSI</translation>
    </message>
    <message>
        <source>Charge</source>
        <translation>Заряд</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Radio</source>
        <translation>Радио</translation>
    </message>
    <message>
        <source>RL</source>
        <translation>RL</translation>
    </message>
    <message>
        <source>Build</source>
        <translation>Сборка</translation>
    </message>
    <message>
        <source>Value 2</source>
        <translation>Значение 2</translation>
    </message>
    <message>
        <source>Selected address range is already occupied by device: %1</source>
        <translation>Выбранный диапазон адресов уже занят устройством: %1</translation>
    </message>
    <message>
        <source>Failed to change device address</source>
        <translation>Не удалось изменить адрес устройства</translation>
    </message>
    <message>
        <source>Wireloop address change unsupported</source>
        <translation>Изменение адреса Wireloop не поддерживается</translation>
    </message>
</context>
<context>
    <name>DialogReadEeprom</name>
    <message>
        <source>Dialog</source>
        <translation>Диалог</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Assert code (0x7A)</source>
        <translation>Код assert (0x7A)</translation>
    </message>
    <message>
        <source>Reset code (0x7B)</source>
        <translation>Код сброса (0x7B)</translation>
    </message>
    <message>
        <source>BEXIL Stats (0x50)</source>
        <translation>Статистика BEXIL (0x50)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Длина</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>DialogWriteEeprom</name>
    <message>
        <source>Dialog</source>
        <translation>Диалог</translation>
    </message>
    <message>
        <source>Memory address:</source>
        <translation>Адрес памяти:</translation>
    </message>
    <message>
        <source>Data (hex form w/o 0x prefix):</source>
        <translation>Данные (в шестнадцатеричном виде без префикса 0x):</translation>
    </message>
</context>
<context>
    <name>EepromReadWindow</name>
    <message>
        <source>Device EEPROM</source>
        <translation>EEPROM устройства</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Данные</translation>
    </message>
    <message>
        <source>Decoded</source>
        <translation>Расшифровка</translation>
    </message>
</context>
<context>
    <name>FileConnection</name>
    <message>
        <source>Wrong connection type for a configuration file</source>
        <translation>Неверный тип соединения для файла конфигурации</translation>
    </message>
    <message>
        <source>The configuration file %1 is empty</source>
        <translation>Файл конфигурации %1 пуст</translation>
    </message>
    <message>
        <source>The configuration file %1 is not valid JSON: %2 at offset %3</source>
        <translation>Файл конфигурации %1 содержит некорректный JSON: %2 (смещение %3)</translation>
    </message>
    <message>
        <source>The configuration file %1 does not hold a JSON object</source>
        <translation>Файл конфигурации %1 не содержит объект JSON</translation>
    </message>
    <message>
        <source>The configuration file was removed or replaced by another program. Changes are no longer saved in it.</source>
        <translation>Файл конфигурации удалён или заменён другой программой. Изменения в нём больше не сохраняются.</translation>
    </message>
    <message>
        <source>The change could not be saved in the configuration file.</source>
        <translation>Не удалось сохранить изменение в файле конфигурации.</translation>
    </message>
    <message>
        <source>Configuration file</source>
        <translation>Файл конфигурации</translation>
    </message>
    <message>
        <source>The configuration file %1 cannot be used: %2</source>
        <translation>Файл конфигурации %1 нельзя использовать: %2</translation>
    </message>
    <message>
        <source>the master model &quot;%1&quot; is unknown</source>
        <translation>модель мастера «%1» неизвестна</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Перезаписать</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Перезагрузить</translation>
    </message>
    <message>
        <source>The configuration file %1 was changed by another program since it was opened here.
Reload it as it is now (the changes not yet saved here are lost), or overwrite it with the configuration shown here (the other program&apos;s changes are lost)?</source>
        <translation>Файл конфигурации %1 изменён другой программой после того, как он был открыт здесь.
Перезагрузить его в нынешнем виде (ещё не сохранённые здесь изменения будут потеряны) или перезаписать его конфигурацией, показанной здесь (изменения другой программы будут потеряны)?</translation>
    </message>
</context>
<context>
    <name>FileLocker</name>
    <message>
        <source>Cannot open the file %1: %2</source>
        <translation>Не удалось открыть файл %1: %2</translation>
    </message>
    <message>
        <source>The file %1 is in use by another window or program</source>
        <translation>Файл %1 занят другим окном или программой</translation>
    </message>
    <message>
        <source>%1 is not a regular file</source>
        <translation>%1 не является обычным файлом</translation>
    </message>
    <message>
        <source>The file %1 is too large: more than %2 bytes</source>
        <translation>Файл %1 слишком большой: более %2 байт</translation>
    </message>
    <message>
        <source>Cannot read the file %1: %2</source>
        <translation>Не удалось прочитать файл %1: %2</translation>
    </message>
    <message>
        <source>No file is open</source>
        <translation>Файл не открыт</translation>
    </message>
    <message>
        <source>The file %1 was removed or replaced by another program</source>
        <translation>Файл %1 удалён или заменён другой программой</translation>
    </message>
    <message>
        <source>Cannot write the file %1: %2. The file was left unchanged</source>
        <translation>Не удалось записать файл %1: %2. Файл оставлен без изменений</translation>
    </message>
    <message>
        <source>The file %1 was changed by another program since it was read</source>
        <translation>Файл %1 изменён другой программой после того, как был прочитан</translation>
    </message>
</context>
<context>
    <name>FireDetectorItem</name>
    <message>
        <source>Case control</source>
        <translation>Контроль корпуса</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Корпус</translation>
    </message>
    <message>
        <source>Battery state</source>
        <translation>Состояние батареи</translation>
    </message>
    <message>
        <source>Battery voltage</source>
        <translation>Напряжение батареи</translation>
    </message>
    <message>
        <source>Reserve battery state</source>
        <translation>Состояние резервной батареи</translation>
    </message>
    <message>
        <source>RL</source>
        <translation>RL</translation>
    </message>
    <message>
        <source>Signal level</source>
        <translation>Уровень сигнала</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Disable case</source>
        <translation>Выключить контроль корпуса</translation>
    </message>
    <message>
        <source>Enable case</source>
        <translation>Включить контроль корпуса</translation>
    </message>
    <message>
        <source>Tech run</source>
        <translation>Технологический прогон</translation>
    </message>
</context>
<context>
    <name>FirmwareUploadManager</name>
    <message>
        <source>Firmware object not created</source>
        <translation>Объект прошивки не создан</translation>
    </message>
    <message>
        <source>Firmware line of %1 bytes is longer than the link carries (%2 bytes)</source>
        <translation>Строка прошивки длиной %1 байт длиннее, чем передаёт канал связи (%2 байт)</translation>
    </message>
    <message>
        <source>Auto update switch on/off error. Packet type: %1</source>
        <translation>Ошибка включения/выключения автообновления. Тип пакета: %1</translation>
    </message>
</context>
<context>
    <name>HubroItem</name>
    <message>
        <source>Case</source>
        <translation>Корпус</translation>
    </message>
    <message>
        <source>Free RAM memory left</source>
        <translation>Свободно ОЗУ</translation>
    </message>
    <message>
        <source>Radio mode</source>
        <translation>Радиорежим</translation>
    </message>
    <message>
        <source>Channel group</source>
        <translation>Группа каналов</translation>
    </message>
    <message>
        <source>Radio channel</source>
        <translation>Радиоканал</translation>
    </message>
    <message>
        <source>Recomended channel</source>
        <translation>Рекомендуемый канал</translation>
    </message>
    <message>
        <source>Noise</source>
        <translation>Шум</translation>
    </message>
    <message>
        <source>Lost interval</source>
        <translation>Интервал потери</translation>
    </message>
    <message>
        <source>Power adjustment</source>
        <translation>Регулировка мощности</translation>
    </message>
    <message>
        <source>Main power</source>
        <translation>Основное питание</translation>
    </message>
    <message>
        <source>Reserve power</source>
        <translation>Резервное питание</translation>
    </message>
    <message>
        <source>WIRELOOP power mode</source>
        <translation>Режим питания WIRELOOP</translation>
    </message>
    <message>
        <source>WIRELOOP power</source>
        <translation>Питание WIRELOOP</translation>
    </message>
    <message>
        <source>Password enabled</source>
        <translation>Пароль включён</translation>
    </message>
    <message>
        <source>Hardware revision</source>
        <translation>Ревизия аппаратуры</translation>
    </message>
    <message>
        <source>Firmware information</source>
        <translation>Сведения о ПО</translation>
    </message>
    <message>
        <source>Core firmware</source>
        <translation>ПО ядра</translation>
    </message>
    <message>
        <source>Radio firmware</source>
        <translation>ПО радио</translation>
    </message>
    <message>
        <source>Uploaded WD Firmware</source>
        <translation>Загруженное ПО устройств</translation>
    </message>
    <message>
        <source>Backup core firmware</source>
        <translation>Резервное ПО ядра</translation>
    </message>
    <message>
        <source>Backup radio firmware</source>
        <translation>Резервное ПО радио</translation>
    </message>
    <message>
        <source>Base core firmware</source>
        <translation>Базовое ПО ядра</translation>
    </message>
    <message>
        <source> s</source>
        <translation> с</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Интервал</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Выключено</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Включено</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
    <message>
        <source>Free memory left</source>
        <translation>Свободно памяти</translation>
    </message>
    <message>
        <source>Stack usage %</source>
        <translation>Использование стека, %</translation>
    </message>
    <message>
        <source>Task name</source>
        <translation>Имя задачи</translation>
    </message>
    <message>
        <source>auto</source>
        <translation>авто</translation>
    </message>
    <message>
        <source>dynamic</source>
        <translation>динамический</translation>
    </message>
    <message>
        <source>Radio noise</source>
        <translation>Радиошум</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Мощность</translation>
    </message>
    <message>
        <source>WIRELOOP as supply</source>
        <translation>WIRELOOP как источник питания</translation>
    </message>
    <message>
        <source>Deny</source>
        <translation>Запретить</translation>
    </message>
    <message>
        <source>Allow</source>
        <translation>Разрешить</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>Plot noise</source>
        <translation>График шума</translation>
    </message>
    <message>
        <source>Set channel group</source>
        <translation>Задать группу каналов</translation>
    </message>
    <message>
        <source>%1 sec is incorrect interval. 180 seconds will be set</source>
        <translation>%1 с — неверный интервал. Будет установлено 180 секунд</translation>
    </message>
    <message>
        <source>Attempt to write invalid configuration data</source>
        <translation>Попытка записать неверные данные конфигурации</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Firmware is broken!</source>
        <translation>ПО повреждено!</translation>
    </message>
    <message>
        <source>Need to update your device firmware!</source>
        <translation>Необходимо обновить ПО устройства!</translation>
    </message>
    <message>
        <source>Critical!</source>
        <translation>Критично!</translation>
    </message>
    <message>
        <source>Your device version is outdated!</source>
        <translation>Версия вашего устройства устарела!</translation>
    </message>
    <message>
        <source>Some features such as setting device address are unavailable. It is strongly recommended to update your device firmware!</source>
        <translation>Некоторые функции, например задание адреса устройства, недоступны. Настоятельно рекомендуется обновить ПО устройства!</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>To ensure optimal performance &quot;Nearby master detection&quot; mode need to be disabled before disconnecting</source>
        <translation>Для корректной работы режим «Обнаружение соседних мастеров» нужно выключить перед отключением</translation>
    </message>
    <message>
        <source>Press Ignore to disconnect without disabling</source>
        <translation>Нажмите «Пропустить», чтобы отключиться без выключения режима</translation>
    </message>
    <message>
        <source>Zentar-TROMBEL</source>
        <translation>Zentar-TROMBEL</translation>
    </message>
    <message>
        <source> #%1
%2
hw: %3 fw: %4
s/n: %5</source>
        <translation> #%1
%2
hw: %3 fw: %4
с/н: %5</translation>
    </message>
    <message>
        <source>
    Type: %1
    Serial number: %2
    WIRELOOP address: %3
    RAM: %4
    radio channel: %5
    Loss detection time: %6
    Power adjustment: %7
    WIRELOOP power mode: %8
                </source>
        <translation>
    Тип: %1
    Серийный номер: %2
    Адрес WIRELOOP: %3
    ОЗУ: %4
    радиоканал: %5
    Время обнаружения потери: %6
    Регулировка мощности: %7
    Режим питания WIRELOOP: %8
                </translation>
    </message>
    <message>
        <source>
    Supply
        Main source: %1
        Backup source: %2
        WIRELOOP: %3
    </source>
        <translation>
    Питание
        Основной источник: %1
        Резервный источник: %2
        WIRELOOP: %3
    </translation>
    </message>
    <message>
        <source>
    Versions:
        HW: %1
        Core: %2
        Radio: %3
        Backup core: %4
        Backup radio: %5
        Uploaded FW: %6 </source>
        <translation>
    Версии:
        HW: %1
        Ядро: %2
        Радио: %3
        Резервное ядро: %4
        Резервное радио: %5
        Загруженное ПО: %6 </translation>
    </message>
    <message>
        <source>        Base core: %1</source>
        <translation>        Базовое ядро: %1</translation>
    </message>
    <message>
        <source>Failed to start nearby hubro detection</source>
        <translation>Не удалось запустить обнаружение соседних HUBRO</translation>
    </message>
    <message>
        <source>Failed to stop nearby hubro detection</source>
        <translation>Не удалось остановить обнаружение соседних HUBRO</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>The device address space is full</source>
        <translation>Адресное пространство устройства заполнено</translation>
    </message>
    <message>
        <source>Сonfiguration denied</source>
        <translation>Конфигурирование запрещено</translation>
    </message>
    <message>
        <source>Failed to enable configuration mode</source>
        <translation>Не удалось включить режим конфигурирования</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Serial number filtering is not supported on this %1</source>
        <translation>Фильтрация по серийному номеру не поддерживается на %1</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>По умолчанию</translation>
    </message>
    <message>
        <source>Group 1</source>
        <translation>Группа 1</translation>
    </message>
    <message>
        <source>Group 2</source>
        <translation>Группа 2</translation>
    </message>
    <message>
        <source>Group 3</source>
        <translation>Группа 3</translation>
    </message>
    <message>
        <source> (Current)</source>
        <translation> (текущая)</translation>
    </message>
    <message>
        <source>Select channel group:</source>
        <translation>Выберите группу каналов:</translation>
    </message>
    <message>
        <source>Failed to change channel group. Try to restart the device.</source>
        <translation>Не удалось изменить группу каналов. Попробуйте перезапустить устройство.</translation>
    </message>
    <message>
        <source>Channel group was set. The device will restart to apply the new settings. All devices will be lost and will need to be reconfigured.</source>
        <translation>Группа каналов задана. Устройство перезапустится, чтобы применить новые настройки. Все устройства будут потеряны, их потребуется настроить заново.</translation>
    </message>
    <message>
        <source>Restart required!</source>
        <translation>Требуется перезапуск!</translation>
    </message>
    <message>
        <source>If you forgot password, you can reset device configuration.
Warning! All settings will be lost!</source>
        <translation>Если вы забыли пароль, можно сбросить конфигурацию устройства.
Внимание! Все настройки будут потеряны!</translation>
    </message>
    <message>
        <source>Incorrect password</source>
        <translation>Неверный пароль</translation>
    </message>
    <message>
        <source>Command PT_PASSWORD_REMOVE failed</source>
        <translation>Команда PT_PASSWORD_REMOVE не выполнена</translation>
    </message>
    <message>
        <source>Password removing</source>
        <translation>Удаление пароля</translation>
    </message>
    <message>
        <source>The current password is entered incorrectly</source>
        <translation>Текущий пароль введён неверно</translation>
    </message>
    <message>
        <source>Password was removed</source>
        <translation>Пароль удалён</translation>
    </message>
    <message>
        <source>Password was set successfully</source>
        <translation>Пароль успешно установлен</translation>
    </message>
    <message>
        <source>Password was change successfully</source>
        <translation>Пароль успешно изменён</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Успех</translation>
    </message>
    <message>
        <source>To perform the reset procedure of the device configuration, it is necessary to open the case</source>
        <translation>Для сброса конфигурации устройства необходимо вскрыть корпус</translation>
    </message>
    <message>
        <source>Device configuration reset</source>
        <translation>Сброс конфигурации устройства</translation>
    </message>
    <message>
        <source>Warning! All settings will be lost!

Will be need to confirm by pressing case button.</source>
        <translation>Внимание! Все настройки будут потеряны!

Потребуется подтверждение нажатием кнопки на корпусе.</translation>
    </message>
    <message>
        <source>Are you sure you want to reset the configuration?</source>
        <translation>Вы уверены, что хотите сбросить конфигурацию?</translation>
    </message>
    <message>
        <source>Are you sure you want to turn off Bluetooth? The wireless connection will be lost</source>
        <translation>Вы уверены, что хотите выключить Bluetooth? Беспроводное соединение будет потеряно</translation>
    </message>
    <message>
        <source>Turning off Bluetooth</source>
        <translation>Выключение Bluetooth</translation>
    </message>
    <message>
        <source>Interval change</source>
        <translation>Изменение интервала</translation>
    </message>
    <message>
        <source>Bluetooth change</source>
        <translation>Изменение Bluetooth</translation>
    </message>
    <message>
        <source>Reboot required</source>
        <translation>Требуется перезагрузка</translation>
    </message>
    <message>
        <source>Your settings has been saved. Device should be restarted for settings to take effect. Restart now?</source>
        <translation>Настройки сохранены. Чтобы они вступили в силу, устройство нужно перезапустить. Перезапустить сейчас?</translation>
    </message>
    <message>
        <source>Read error log</source>
        <translation>Прочитать журнал ошибок</translation>
    </message>
    <message>
        <source>Read event log</source>
        <translation>Прочитать журнал событий</translation>
    </message>
    <message>
        <source>Task stack usage</source>
        <translation>Использование стека задач</translation>
    </message>
    <message>
        <source>Erase flash</source>
        <translation>Очистить флеш-память</translation>
    </message>
</context>
<context>
    <name>HubroStatus</name>
    <message>
        <source>Not assigned</source>
        <translation>Не назначен</translation>
    </message>
    <message>
        <source>Unavailable</source>
        <translation>Недоступно</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 Б</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Отключено</translation>
    </message>
    <message>
        <source>%1 V</source>
        <translation>%1 В</translation>
    </message>
    <message>
        <source>Fail</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Auto: %1 (%2)</source>
        <translation>Авто: %1 (%2)</translation>
    </message>
    <message>
        <source>Auto: %1</source>
        <translation>Авто: %1</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Авто</translation>
    </message>
    <message>
        <source>Dynamic: %1</source>
        <translation>Динамический: %1</translation>
    </message>
    <message>
        <source>Dynamic</source>
        <translation>Динамический</translation>
    </message>
    <message>
        <source>Interference!</source>
        <translation>Помехи!</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Devices connected: %1</source>
        <translation>Подключено устройств: %1</translation>
    </message>
    <message>
        <source>Viewing mode</source>
        <translation>Режим просмотра</translation>
    </message>
    <message>
        <source>Main power failed</source>
        <translation>Неисправность основного питания</translation>
    </message>
    <message>
        <source>Reserve power failed</source>
        <translation>Неисправность резервного питания</translation>
    </message>
    <message>
        <source>WIRELOOP power failed</source>
        <translation>Неисправность питания WIRELOOP</translation>
    </message>
    <message>
        <source>Radio noise fault (%1)</source>
        <translation>Неисправность по радиошуму (%1)</translation>
    </message>
</context>
<context>
    <name>IndicationControlDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Диалог</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>Режим:</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Авто</translation>
    </message>
    <message>
        <source>Always on</source>
        <translation>Всегда включено</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Отправить</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>KastrelDeviceDiscoveryAgent</name>
    <message>
        <source>[Kastrel] Probing port </source>
        <translation>[Kastrel] Опрос порта </translation>
    </message>
    <message>
        <source>[Kastrel] Response: </source>
        <translation>[Kastrel] Ответ: </translation>
    </message>
</context>
<context>
    <name>LoadingWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Загрузка...</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Zentar Configurator</source>
        <translation>Конфигуратор Zentar</translation>
    </message>
    <message>
        <source>Find device:</source>
        <translation>Найти устройство:</translation>
    </message>
    <message>
        <source>Sorting:</source>
        <translation>Сортировка:</translation>
    </message>
    <message>
        <source>By radio address</source>
        <translation>По радиоадресу</translation>
    </message>
    <message>
        <source>By Wireloop address</source>
        <translation>По адресу Wireloop</translation>
    </message>
    <message>
        <source>By type</source>
        <translation>По типу</translation>
    </message>
    <message>
        <source>By ID</source>
        <translation>По ID</translation>
    </message>
    <message>
        <source>Collapse tree</source>
        <translation>Свернуть дерево</translation>
    </message>
    <message>
        <source>Expand tree</source>
        <translation>Развернуть дерево</translation>
    </message>
    <message>
        <source>View:</source>
        <translation>Вид:</translation>
    </message>
    <message>
        <source>Tile</source>
        <translation>Плитка</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>Таблица</translation>
    </message>
    <message>
        <source>Tree</source>
        <translation>Дерево</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Серийный номер</translation>
    </message>
    <message>
        <source>Device type</source>
        <translation>Тип устройства</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Panels</source>
        <translation>Панели</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>Журнал</translation>
    </message>
    <message>
        <source>Log level:</source>
        <translation>Уровень журнала:</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Debug</source>
        <translation>Отладка</translation>
    </message>
    <message>
        <source>Trace</source>
        <translation>Трассировка</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Выбрать все</translation>
    </message>
    <message>
        <source>Deselect all</source>
        <translation>Снять все</translation>
    </message>
    <message>
        <source>Device properties</source>
        <translation>Свойства устройства</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>Панель инструментов</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>В&amp;ыход</translation>
    </message>
    <message>
        <source>Exit program</source>
        <translation>Выйти из программы</translation>
    </message>
    <message>
        <source>&amp;Load firmware</source>
        <translation>&amp;Загрузить ПО</translation>
    </message>
    <message>
        <source>Load firmware from file</source>
        <translation>Загрузить ПО из файла</translation>
    </message>
    <message>
        <source>&amp;Start update</source>
        <translation>&amp;Начать обновление</translation>
    </message>
    <message>
        <source>Start update</source>
        <translation>Начать обновление</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;О программе</translation>
    </message>
    <message>
        <source>About program</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>&amp;Open device</source>
        <translation>&amp;Открыть устройство</translation>
    </message>
    <message>
        <source>Restart device</source>
        <translation>Перезапустить устройство</translation>
    </message>
    <message>
        <source>Update device</source>
        <translation>Обновить устройство</translation>
    </message>
    <message>
        <source>Close device</source>
        <translation>Закрыть устройство</translation>
    </message>
    <message>
        <source>Save configuration to file...</source>
        <translation>Сохранить конфигурацию в файл...</translation>
    </message>
    <message>
        <source>Save configuration to file</source>
        <translation>Сохранить конфигурацию в файл</translation>
    </message>
    <message>
        <source>Load configuration from file...</source>
        <translation>Загрузить конфигурацию из файла...</translation>
    </message>
    <message>
        <source>Write configuration from file</source>
        <translation>Записать конфигурацию из файла</translation>
    </message>
    <message>
        <source>Auto &amp;number</source>
        <translation>Авто&amp;нумерация</translation>
    </message>
    <message>
        <source>Lock keyboard</source>
        <translation>Заблокировать клавиатуру</translation>
    </message>
    <message>
        <source>Reset statistics</source>
        <translation>Сбросить статистику</translation>
    </message>
    <message>
        <source>Get statistic</source>
        <translation>Получить статистику</translation>
    </message>
    <message>
        <source>Read device EEPROM</source>
        <translation>Прочитать EEPROM устройства</translation>
    </message>
    <message>
        <source>Link quality test</source>
        <translation>Тест качества связи</translation>
    </message>
    <message>
        <source>Toggle view mode</source>
        <translation>Переключить вид</translation>
    </message>
    <message>
        <source>Write to device EEPROM</source>
        <translation>Записать в EEPROM устройства</translation>
    </message>
    <message>
        <source>Indication control</source>
        <translation>Управление индикацией</translation>
    </message>
    <message>
        <source>Output control</source>
        <translation>Управление выходом</translation>
    </message>
    <message>
        <source>Delete device</source>
        <translation>Удалить устройство</translation>
    </message>
    <message>
        <source>Enable config</source>
        <translation>Разрешить конфигурирование</translation>
    </message>
    <message>
        <source>Channel scan</source>
        <translation>Сканирование каналов</translation>
    </message>
    <message>
        <source>Clear error logs</source>
        <translation>Очистить журналы ошибок</translation>
    </message>
    <message>
        <source>Firmware update</source>
        <translation>Обновление ПО</translation>
    </message>
    <message>
        <source>Radio statistics</source>
        <translation>Радиостатистика</translation>
    </message>
    <message>
        <source>Delete all devices</source>
        <translation>Удалить все устройства</translation>
    </message>
    <message>
        <source>Delete devices and restart</source>
        <translation>Удалить устройства и перезапустить</translation>
    </message>
    <message>
        <source>Change password</source>
        <translation>Смена пароля</translation>
    </message>
    <message>
        <source>Write &amp;settings</source>
        <translation>Записать &amp;настройки</translation>
    </message>
    <message>
        <source>Deactivate all ZELVO</source>
        <translation>Деактивировать все ZELVO</translation>
    </message>
    <message>
        <source>Scanner</source>
        <translation>Сканер</translation>
    </message>
    <message>
        <source>Russian</source>
        <translation>Русский</translation>
    </message>
    <message>
        <source>Set application language to Russian</source>
        <translation>Переключить язык программы на русский</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Set application language to English</source>
        <translation>Переключить язык программы на английский</translation>
    </message>
    <message>
        <source>Generate report</source>
        <translation>Сформировать отчёт</translation>
    </message>
    <message>
        <source>Check report</source>
        <translation>Проверить отчёт</translation>
    </message>
    <message>
        <source>Detect nearby HUBRO</source>
        <translation>Обнаружить соседние HUBRO</translation>
    </message>
    <message>
        <source>Сonvert to JSON</source>
        <translation>Преобразовать в JSON</translation>
    </message>
    <message>
        <source>View configuration</source>
        <translation>Просмотр конфигурации</translation>
    </message>
    <message>
        <source>Set preferred RS</source>
        <translation>Задать предпочтительный ретранслятор</translation>
    </message>
    <message>
        <source>Measurements logging</source>
        <translation>Запись измерений</translation>
    </message>
    <message>
        <source>TROMBEL view</source>
        <translation>Вид TROMBEL</translation>
    </message>
    <message>
        <source>Show measurements</source>
        <translation>Показать измерения</translation>
    </message>
    <message>
        <source>Tech run</source>
        <translation>Технологический прогон</translation>
    </message>
    <message>
        <source>Read product code</source>
        <translation>Прочитать код продукта</translation>
    </message>
    <message>
        <source>Reading the product code</source>
        <translation>Чтение кода продукта</translation>
    </message>
    <message>
        <source>Any</source>
        <translation>Любой</translation>
    </message>
    <message>
        <source>This command is supported on base firmware 1.19 and radio firmware 1.06 and higher.</source>
        <translation>Команда поддерживается базовым ПО 1.19 и радио-ПО 1.06 и выше.</translation>
    </message>
    <message>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Unlock keyboard</source>
        <translation>Разблокировать клавиатуру</translation>
    </message>
    <message>
        <source>The language has already been changed. To apply, restart the application.
Restart now?</source>
        <translation>Язык уже изменён. Чтобы применить изменение, перезапустите программу.
Перезапустить сейчас?</translation>
    </message>
    <message>
        <source>The application must be restarted to change the language.
Restart now?</source>
        <translation>Чтобы сменить язык, программу нужно перезапустить.
Перезапустить сейчас?</translation>
    </message>
    <message>
        <source>Language change</source>
        <translation>Смена языка</translation>
    </message>
    <message>
        <source>Do you want to interrupt the process?</source>
        <translation>Прервать процесс?</translation>
    </message>
    <message>
        <source>Preparations are underway for an upgrade.</source>
        <translation>Идёт подготовка к обновлению.</translation>
    </message>
    <message>
        <source>Terminal device software is being updated.When the device is disconnected from the configurator, the update can be completed automatically.</source>
        <translation>Идёт обновление ПО оконечных устройств. После отключения устройства от конфигуратора обновление может завершиться автоматически.</translation>
    </message>
    <message>
        <source>Disconnect device?</source>
        <translation>Отключить устройство?</translation>
    </message>
    <message>
        <source>YES and complete the update automatically</source>
        <translation>ДА и завершить обновление автоматически</translation>
    </message>
    <message>
        <source>YES and abort update</source>
        <translation>ДА и прервать обновление</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>MainWindow::establishConnection %1 connection with %2</source>
        <translation>MainWindow::establishConnection %1: соединение с %2</translation>
    </message>
    <message>
        <source>Connection interface closed</source>
        <translation>Интерфейс соединения закрыт</translation>
    </message>
    <message>
        <source>A configuration opened from a file cannot be saved from the device. Connect to the device to save its configuration.</source>
        <translation>Конфигурацию, открытую из файла, нельзя сохранить с устройства. Подключитесь к устройству, чтобы сохранить его конфигурацию.</translation>
    </message>
    <message>
        <source>Save configuration</source>
        <translation>Сохранение конфигурации</translation>
    </message>
    <message>
        <source>WD Type</source>
        <translation>Тип устройства</translation>
    </message>
    <message>
        <source>S/N</source>
        <translation>С/Н</translation>
    </message>
    <message>
        <source>Wireloop address</source>
        <translation>Адрес Wireloop</translation>
    </message>
    <message>
        <source>Radio address</source>
        <translation>Радиоадрес</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Интервал</translation>
    </message>
    <message>
        <source>Radio channel</source>
        <translation>Радиоканал</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Мощность</translation>
    </message>
    <message>
        <source>Wireloop as supply</source>
        <translation>Wireloop как источник питания</translation>
    </message>
    <message>
        <source>IR Sensor</source>
        <translation>ИК-датчик</translation>
    </message>
    <message>
        <source>Test mode</source>
        <translation>Тестовый режим</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <translation>Чувствительность</translation>
    </message>
    <message>
        <source>Relay</source>
        <translation>Реле</translation>
    </message>
    <message>
        <source>Main source</source>
        <translation>Основной источник</translation>
    </message>
    <message>
        <source>Cable mode</source>
        <comment>fotra</comment>
        <translation>Режим шлейфа</translation>
    </message>
    <message>
        <source>TIRUN Cable</source>
        <comment>tirun</comment>
        <translation>Шлейф TIRUN</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Включено</translation>
    </message>
    <message>
        <source>Shift sensor</source>
        <comment>yolvik</comment>
        <translation>Датчик смещения</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Настройки</translation>
    </message>
    <message>
        <source>Shift detection</source>
        <translation>Обнаружение смещения</translation>
    </message>
    <message>
        <source>Shift sensitivity</source>
        <translation>Чувствительность к смещению</translation>
    </message>
    <message>
        <source>Tilt detection</source>
        <translation>Обнаружение наклона</translation>
    </message>
    <message>
        <source>Tilt sensitivity</source>
        <translation>Чувствительность к наклону</translation>
    </message>
    <message>
        <source>Auto fixate</source>
        <translation>Автофиксация</translation>
    </message>
    <message>
        <source>Work mode</source>
        <translation>Режим работы</translation>
    </message>
    <message>
        <source>Speed mode</source>
        <translation>Скоростной режим</translation>
    </message>
    <message>
        <source>Counter mode</source>
        <comment>nilvo</comment>
        <translation>Режим счётчика</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Диапазон</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Скорость</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <comment>near</comment>
        <translation>Чувствительность</translation>
    </message>
    <message>
        <source>Sensitivity</source>
        <comment>far</comment>
        <translation>Чувствительность</translation>
    </message>
    <message>
        <source>IR Sensors</source>
        <translation>ИК-датчики</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Яркость</translation>
    </message>
    <message>
        <source>Wall Control</source>
        <translation>Настенное управление</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Power adjustment</source>
        <translation>Регулировка мощности</translation>
    </message>
    <message>
        <source>Firmware information</source>
        <translation>Сведения о ПО</translation>
    </message>
    <message>
        <source>Core firmware</source>
        <translation>ПО ядра</translation>
    </message>
    <message>
        <source>Radio firmware</source>
        <translation>ПО радио</translation>
    </message>
    <message>
        <source>Status</source>
        <comment>pondra</comment>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Failed to set new password.</source>
        <translation>Не удалось установить новый пароль.</translation>
    </message>
    <message>
        <source>Please check if you entered your current password correctly.</source>
        <translation>Проверьте, правильно ли введён текущий пароль.</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Unable to connect to device.</source>
        <translation>Не удалось подключиться к устройству.</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Связь потеряна</translation>
    </message>
    <message>
        <source>Where to save configuration</source>
        <translation>Куда сохранить конфигурацию</translation>
    </message>
    <message>
        <source>Config files(*.conf)</source>
        <translation>Файлы конфигурации (*.conf)</translation>
    </message>
    <message>
        <source>Exporting configuration.
Please wait...</source>
        <translation>Экспорт конфигурации.
Пожалуйста, подождите...</translation>
    </message>
    <message>
        <source>The configuration could not be saved to %1.</source>
        <translation>Не удалось сохранить конфигурацию в %1.</translation>
    </message>
    <message>
        <source>The configuration could not be read from the device.
%1</source>
        <translation>Не удалось прочитать конфигурацию с устройства.
%1</translation>
    </message>
    <message>
        <source>Error while configuration file opening</source>
        <translation>Ошибка при открытии файла конфигурации</translation>
    </message>
    <message>
        <source>Configuration file opening</source>
        <translation>Открытие файла конфигурации</translation>
    </message>
    <message>
        <source>Error while simulation file opening</source>
        <translation>Ошибка при открытии файла симуляции</translation>
    </message>
    <message>
        <source>Simulation file opening</source>
        <translation>Открытие файла симуляции</translation>
    </message>
    <message>
        <source>A configuration cannot be loaded into a configuration file. Connect to the device to load a configuration.</source>
        <translation>Конфигурацию нельзя загрузить в файл конфигурации. Подключитесь к устройству, чтобы загрузить конфигурацию.</translation>
    </message>
    <message>
        <source>Configuration load</source>
        <translation>Загрузка конфигурации</translation>
    </message>
    <message>
        <source>Select configuration file</source>
        <translation>Выберите файл конфигурации</translation>
    </message>
    <message>
        <source>Can&apos;t open confifuration file %1</source>
        <translation>Не удалось открыть файл конфигурации %1</translation>
    </message>
    <message>
        <source>Configuration file intend for %1, current device is %2</source>
        <translation>Файл конфигурации предназначен для %1, текущее устройство — %2</translation>
    </message>
    <message>
        <source>Configuration loading</source>
        <translation>Загрузка конфигурации</translation>
    </message>
    <message>
        <source>Error occured while configuration loading</source>
        <translation>Ошибка при загрузке конфигурации</translation>
    </message>
    <message>
        <source>Load configuration</source>
        <translation>Загрузить конфигурацию</translation>
    </message>
    <message>
        <source>Importing configuration.
Please wait...</source>
        <translation>Импорт конфигурации.
Пожалуйста, подождите...</translation>
    </message>
    <message>
        <source>Configuration loaded. Device will be restarted</source>
        <translation>Конфигурация загружена. Устройство будет перезапущено</translation>
    </message>
    <message>
        <source>Auto numbering unsupported</source>
        <translation>Автонумерация не поддерживается</translation>
    </message>
    <message>
        <source>No response from device</source>
        <translation>Нет ответа от устройства</translation>
    </message>
    <message>
        <source>Some of devices are not deactivated. Are you sure you want to delete them?</source>
        <translation>Некоторые устройства не деактивированы. Вы уверены, что хотите их удалить?</translation>
    </message>
    <message>
        <source>Confirm required</source>
        <translation>Требуется подтверждение</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <source>Current channel is: %1. You cannot add devices which are not updated to use channel above 3. If you experience problems with adding new devices try to change channel to channel 0</source>
        <translation>Текущий канал: %1. Устройства, не обновлённые для работы на каналах выше 3, добавить нельзя. Если новые устройства не добавляются, попробуйте сменить канал на 0</translation>
    </message>
    <message>
        <source>Disable warning</source>
        <translation>Больше не предупреждать</translation>
    </message>
    <message>
        <source>Are you sure you want to remove all connected devices?</source>
        <translation>Вы уверены, что хотите удалить все подключённые устройства?</translation>
    </message>
    <message>
        <source>Are you sure you want to deactivate all devices?</source>
        <translation>Вы уверены, что хотите деактивировать все устройства?</translation>
    </message>
    <message>
        <source>Autoaddressing can not be proceeded.
Out of address space.</source>
        <translation>Автоадресация невозможна.
Адресное пространство исчерпано.</translation>
    </message>
    <message>
        <source>Autoaddressing can not be proceeded</source>
        <translation>Автоадресация невозможна</translation>
    </message>
    <message>
        <source>Selected address range is already occupied by device: %1</source>
        <translation>Выбранный диапазон адресов уже занят устройством: %1</translation>
    </message>
    <message>
        <source>Are you sure you want to delete selected devices?</source>
        <translation>Вы уверены, что хотите удалить выбранные устройства?</translation>
    </message>
    <message>
        <source>%1 devices will be deleted</source>
        <translation>Будет удалено устройств: %1</translation>
    </message>
    <message>
        <source>Flash erasing.
All settings and all backups will be removed.
Do you want to proceed?</source>
        <translation>Очистка флеш-памяти.
Все настройки и все резервные копии будут удалены.
Продолжить?</translation>
    </message>
    <message>
        <source>Flash erasing</source>
        <translation>Очистка флеш-памяти</translation>
    </message>
    <message>
        <source>The configuration is corrupted. The configuration from the backup will be loaded.</source>
        <translation>Конфигурация повреждена. Будет загружена конфигурация из резервной копии.</translation>
    </message>
    <message>
        <source>Auto numbering</source>
        <translation>Автонумерация</translation>
    </message>
    <message>
        <source>Wait 5 seconds</source>
        <translation>Подождите 5 секунд</translation>
    </message>
    <message>
        <source>Zentar-TROMBEL</source>
        <translation>Zentar-TROMBEL</translation>
    </message>
    <message>
        <source>Disable config</source>
        <translation>Запретить конфигурирование</translation>
    </message>
    <message>
        <source>SQLite database open error</source>
        <translation>Ошибка открытия базы данных SQLite</translation>
    </message>
    <message>
        <source>SQLite database open</source>
        <translation>Открытие базы данных SQLite</translation>
    </message>
    <message>
        <source>Failed to start cleaning flash</source>
        <translation>Не удалось начать очистку флеш-памяти</translation>
    </message>
    <message>
        <source>Device restart.
Completion of the flash cleaning process.
Please wait</source>
        <translation>Перезапуск устройства.
Завершение очистки флеш-памяти.
Пожалуйста, подождите</translation>
    </message>
    <message>
        <source>Update in progress. device %1</source>
        <translation>Идёт обновление. Устройство %1</translation>
    </message>
    <message>
        <source>Open the config file in a new window, or disconnect from the device and continue?</source>
        <translation>Открыть файл конфигурации в новом окне или отключиться от устройства и продолжить?</translation>
    </message>
    <message>
        <source>Configuration file</source>
        <translation>Файл конфигурации</translation>
    </message>
    <message>
        <source>New window</source>
        <translation>Новое окно</translation>
    </message>
    <message>
        <source>Current window</source>
        <translation>Текущее окно</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Try to start</source>
        <translation>Попытка запуска</translation>
    </message>
    <message>
        <source>Failed to open in separate window.
%1</source>
        <translation>Не удалось открыть в отдельном окне.
%1</translation>
    </message>
    <message>
        <source>Configuration view</source>
        <translation>Просмотр конфигурации</translation>
    </message>
    <message>
        <source>Only one config file can be loaded</source>
        <translation>Можно загрузить только один файл конфигурации</translation>
    </message>
    <message>
        <source>Unsupported file extension</source>
        <translation>Неподдерживаемое расширение файла</translation>
    </message>
    <message>
        <source>Save system report file</source>
        <translation>Сохранить файл системного отчёта</translation>
    </message>
    <message>
        <source>The master is not connected. The report was not written.</source>
        <translation>Мастер не подключён. Отчёт не записан.</translation>
    </message>
    <message>
        <source>Report (*.rpt)</source>
        <translation>Отчёт (*.rpt)</translation>
    </message>
    <message>
        <source>Failed to write the report file %1:
%2</source>
        <translation>Не удалось записать файл отчёта %1:
%2</translation>
    </message>
    <message>
        <source>System report file</source>
        <translation>Файл системного отчёта</translation>
    </message>
    <message>
        <source>Report check</source>
        <translation>Проверка отчёта</translation>
    </message>
    <message>
        <source>Failed to open the file</source>
        <translation>Не удалось открыть файл</translation>
    </message>
    <message>
        <source>Report file is original</source>
        <translation>Файл отчёта подлинный</translation>
    </message>
    <message>
        <source>Report file was altered</source>
        <translation>Файл отчёта был изменён</translation>
    </message>
    <message>
        <source>

----------- Devices -----------
</source>
        <translation>

----------- Устройства -----------
</translation>
    </message>
    <message>
        <source>

----------- Radio Controller Finder ------------
</source>
        <translation>

----------- Поиск радиоконтроллеров ------------
</translation>
    </message>
    <message>
        <source>

----------- Link quality test -------------
</source>
        <translation>

----------- Тест качества связи -------------
</translation>
    </message>
    <message>
        <source>Measurements are not saved to %1</source>
        <translation>Измерения не сохраняются в %1</translation>
    </message>
    <message>
        <source>SQLite database</source>
        <translation>База данных SQLite</translation>
    </message>
    <message>
        <source>%1 fw %2 hw %3</source>
        <translation>%1 ПО %2 аппаратная версия %3</translation>
    </message>
    <message>
        <source>hw. %1 fw. %2</source>
        <translation>апп. %1 ПО %2</translation>
    </message>
    <message>
        <source>Get statistics</source>
        <translation>Получение статистики</translation>
    </message>
    <message>
        <source>Radio statistic is not supported by that version device
%1.</source>
        <translation>Радиостатистика не поддерживается этой версией устройства
%1.</translation>
    </message>
    <message>
        <source>No devices supporting statistics collection selected.</source>
        <translation>Не выбрано ни одного устройства, поддерживающего сбор статистики.</translation>
    </message>
    <message>
        <source>LQI test</source>
        <translation>Тест LQI</translation>
    </message>
    <message>
        <source>Performing a link quality test for devices operating through a repeater is not available on the current version of the device.</source>
        <translation>Тест качества связи для устройств, работающих через ретранслятор, недоступен в текущей версии устройства.</translation>
    </message>
    <message>
        <source>Performing a link level test is not available for devices of this version operating through a repeater:</source>
        <translation>Тест уровня связи недоступен для устройств этой версии, работающих через ретранслятор:</translation>
    </message>
    <message>
        <source>Device closed</source>
        <translation>Устройство закрыто</translation>
    </message>
    <message>
        <source>Firmware updating</source>
        <translation>Обновление ПО</translation>
    </message>
    <message>
        <source>The device is being updated.
Please wait and do not turn off the power.</source>
        <translation>Идёт обновление устройства.
Пожалуйста, подождите и не отключайте питание.</translation>
    </message>
    <message>
        <source>The port %1 cannot be opened.</source>
        <translation>Не удаётся открыть порт %1.</translation>
    </message>
    <message>
        <source>Device opening</source>
        <translation>Открытие устройства</translation>
    </message>
    <message>
        <source>The simulation file %1 is gone: no longer followed until it is back</source>
        <translation>Файл симуляции %1 пропал: он не отслеживается, пока не появится снова</translation>
    </message>
    <message>
        <source>The link was lost before the master answered.</source>
        <translation>Связь потеряна до ответа мастера.</translation>
    </message>
    <message>
        <source>Configuration saved to %1</source>
        <translation>Конфигурация сохранена в %1</translation>
    </message>
    <message>
        <source>The devices of a simulation do not answer requests: this needs a device connected through a master.</source>
        <translation>Устройства симуляции не отвечают на запросы: для этого нужно устройство, подключённое через мастер.</translation>
    </message>
    <message>
        <source>The devices of a configuration file do not answer requests: this needs a device connected through a master.</source>
        <translation>Устройства из файла конфигурации не отвечают на запросы: для этого нужно устройство, подключённое через мастер.</translation>
    </message>
    <message>
        <source>The devices of a simulation come from its file: remove them from the file.</source>
        <translation>Устройства симуляции берутся из её файла: удалите их из файла.</translation>
    </message>
    <message>
        <source>The device is restarting. Waiting for it to come back...</source>
        <translation>Устройство перезагружается. Ожидание его возвращения...</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 уже существует.
Заменить его?</translation>
    </message>
    <message>
        <source>the connection to the master was lost</source>
        <translation>связь с мастером потеряна</translation>
    </message>
    <message>
        <source>the master restarted</source>
        <translation>мастер перезапустился</translation>
    </message>
    <message>
        <source>The measurement file %1 is damaged: %2</source>
        <translation>Файл измерений %1 повреждён: %2</translation>
    </message>
    <message>
        <source>Measurements cannot be saved to it. Set it aside and record into a new file? The damaged file is kept beside the new one as %1.</source>
        <translation>Измерения в него сохранить нельзя. Отложить его и записывать в новый файл? Повреждённый файл сохранится рядом с новым под именем %1.</translation>
    </message>
    <message>
        <source>Set aside</source>
        <translation>Отложить</translation>
    </message>
    <message>
        <source>Device restart</source>
        <translation>Перезагрузка устройства</translation>
    </message>
    <message>
        <source>The device is restarting.
Please wait...</source>
        <translation>Устройство перезагружается.
Пожалуйста, подождите...</translation>
    </message>
    <message>
        <source>Restart the device now?
It is out of service until it comes back.</source>
        <translation>Перезагрузить устройство сейчас?
До возвращения оно не будет работать.</translation>
    </message>
    <message>
        <source>The text matches its checksum, so it was not changed by accident. The checksum has no key: whoever edits a report can write a new checksum too.</source>
        <translation>Текст совпадает со своей контрольной суммой, значит, он не был изменён случайно. Контрольная сумма не имеет ключа: тот, кто правит отчёт, может записать и новую контрольную сумму.</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Статистика</translation>
    </message>
    <message>
        <source>Radio statistics are recorded in %1</source>
        <translation>Радиостатистика записывается в %1</translation>
    </message>
    <message>
        <source>Radio statistics cannot be recorded: %1 does not open for writing</source>
        <translation>Радиостатистику не записать: %1 не открывается для записи</translation>
    </message>
    <message>
        <source>Refresh devices</source>
        <translation>Обновлять устройства</translation>
    </message>
    <message numerus="yes">
        <source>Reset the radio statistics of %n selected device(s)?</source>
        <translation>
            <numerusform>Сбросить радиостатистику %n выбранного устройства?</numerusform>
            <numerusform>Сбросить радиостатистику %n выбранных устройств?</numerusform>
            <numerusform>Сбросить радиостатистику %n выбранных устройств?</numerusform>
        </translation>
    </message>
    <message>
        <source>Clear the master&apos;s error log?
The events in it cannot be read again.</source>
        <translation>Очистить журнал ошибок мастера?
События из него больше нельзя будет прочитать.</translation>
    </message>
</context>
<context>
    <name>MasterLogReaderWidget</name>
    <message>
        <source>Hard fault: 0x%1</source>
        <translation>Аппаратный сбой: 0x%1</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>UNKNOWN_ABORT: %1</source>
        <translation>UNKNOWN_ABORT: %1</translation>
    </message>
    <message>
        <source>Unknown error %1</source>
        <translation>Неизвестная ошибка %1</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Read log</source>
        <translation>Прочитать журнал</translation>
    </message>
    <message>
        <source>Clear log</source>
        <translation>Очистить журнал</translation>
    </message>
    <message>
        <source>Index:</source>
        <translation>Индекс:</translation>
    </message>
    <message>
        <source>Save log</source>
        <translation>Сохранить журнал</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Событие</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Задача</translation>
    </message>
    <message>
        <source>Stack</source>
        <translation>Стек</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Описание</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Данные</translation>
    </message>
    <message>
        <source>Start log </source>
        <translation>Начало журнала </translation>
    </message>
    <message>
        <source>Last restart</source>
        <translation>Последний перезапуск</translation>
    </message>
    <message>
        <source>End log</source>
        <translation>Конец журнала</translation>
    </message>
    <message>
        <source>CSV files(*.CSV);;All files(*)</source>
        <translation>Файлы CSV(*.CSV);;Все файлы(*)</translation>
    </message>
    <message>
        <source>Failed to save selected file</source>
        <translation>Не удалось сохранить выбранный файл</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Clear the master&apos;s error log?
The events in it cannot be read again.</source>
        <translation>Очистить журнал ошибок мастера?
События из него больше нельзя будет прочитать.</translation>
    </message>
    <message>
        <source>Clear error logs</source>
        <translation>Очистить журналы ошибок</translation>
    </message>
</context>
<context>
    <name>MasterNoise</name>
    <message>
        <source>Noise level</source>
        <translation>Уровень шума</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Интервал</translation>
    </message>
    <message>
        <source>dBm</source>
        <translation>дБм</translation>
    </message>
    <message>
        <source>;Date:;</source>
        <translation>;Дата:;</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
</context>
<context>
    <name>MasterStackUsageDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Диалог</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Обновить</translation>
    </message>
    <message>
        <source>Task name</source>
        <translation>Имя задачи</translation>
    </message>
    <message>
        <source>Stack size</source>
        <translation>Размер стека</translation>
    </message>
    <message>
        <source>Stack usage</source>
        <translation>Использование стека</translation>
    </message>
    <message>
        <source>Priority</source>
        <translation>Приоритет</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 Б</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1%</translation>
    </message>
</context>
<context>
    <name>MeasurementsLogging</name>
    <message>
        <source>Measurements logging</source>
        <translation>Запись измерений</translation>
    </message>
    <message>
        <source>Available devices</source>
        <translation>Доступные устройства</translation>
    </message>
    <message>
        <source>Collapse all</source>
        <translation>Свернуть все</translation>
    </message>
    <message>
        <source>Available parameters</source>
        <translation>Доступные параметры</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Выбрать все</translation>
    </message>
    <message>
        <source>Uncheck all</source>
        <translation>Снять все</translation>
    </message>
    <message>
        <source>Store</source>
        <translation>Сохранять</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Устройство</translation>
    </message>
    <message>
        <source>Parameter</source>
        <translation>Параметр</translation>
    </message>
    <message>
        <source>Serial</source>
        <comment>serial number</comment>
        <translation>Серийный номер</translation>
    </message>
    <message>
        <source>There is no selected measurements for storing.
Storing will be stopped.                     </source>
        <translation>Не выбраны измерения для сохранения.
Сохранение будет остановлено.                     </translation>
    </message>
    <message>
        <source>Start measurements storing</source>
        <translation>Запуск сохранения измерений</translation>
    </message>
    <message>
        <source>There are unsaved changes. Are you sure you want to exit without saving?</source>
        <translation>Есть несохранённые изменения. Выйти без сохранения?</translation>
    </message>
</context>
<context>
    <name>MeasurementsTotal</name>
    <message>
        <source>Measurements</source>
        <translation>Измерения</translation>
    </message>
    <message>
        <source>Collection of measurements is enabled for:</source>
        <translation>Сбор измерений включён для:</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>MeterExchange</name>
    <message>
        <source>Warning! Device is in the powersave mode!</source>
        <translation>Внимание! Устройство в режиме энергосбережения!</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Внимание!</translation>
    </message>
</context>
<context>
    <name>NearbyHubroModel</name>
    <message>
        <source>Not selected</source>
        <translation>Не выбрано</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Неизвестно</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Включено</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Выключено</translation>
    </message>
    <message>
        <source>%1 dBm</source>
        <translation>%1 дБм</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 с</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Канал</translation>
    </message>
    <message>
        <source>s/n</source>
        <translation>с/н</translation>
    </message>
    <message>
        <source>Master</source>
        <translation>Мастер</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>Интервал</translation>
    </message>
    <message>
        <source>Enable config</source>
        <translation>Разрешить конфигурирование</translation>
    </message>
    <message>
        <source>RSSI</source>
        <translation>RSSI</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Время</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>Количество</translation>
    </message>
    <message>
        <source>%1: %2	</source>
        <translation>%1: %2	</translation>
    </message>
</context>
<context>
    <name>NetworkManager</name>
    <message>
        <source>Request of available updates</source>
        <translation>Запрос доступных обновлений</translation>
    </message>
    <message>
        <source>Proxy installed</source>
        <translation>Прокси установлен</translation>
    </message>
    <message>
        <source>No proxy</source>
        <translation>Без прокси</translation>
    </message>
    <message>
        <source>Wrong XML</source>
        <translation>Неверный XML</translation>
    </message>
    <message>
        <source>SSL errors: </source>
        <translation>Ошибки SSL: </translation>
    </message>
    <message>
        <source>The service did not answer within %1 s</source>
        <translation>Сервис не ответил за %1 с</translation>
    </message>
    <message>
        <source>The reply of the service is too large (over %1 KiB)</source>
        <translation>Ответ сервиса слишком велик (более %1 КиБ)</translation>
    </message>
</context>
<context>
    <name>OpenDeviceDialog</name>
    <message>
        <source>Device search</source>
        <translation>Поиск устройств</translation>
    </message>
    <message>
        <source>Failed to connect?</source>
        <translation>Не удаётся подключиться?</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Подключить</translation>
    </message>
    <message>
        <source>&amp;Rescan</source>
        <translation>П&amp;овторить поиск</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Открыть файл</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>неизвестен</translation>
    </message>
    <message>
        <source>%1. %2 (s/n: %3)</source>
        <translation>%1. %2 (с/н: %3)</translation>
    </message>
    <message>
        <source>Zentar-HUBRO32 - Updating firmware</source>
        <translation>Zentar-HUBRO32 - обновление ПО</translation>
    </message>
    <message>
        <source>Zentar-TROMBEL</source>
        <translation>Zentar-TROMBEL</translation>
    </message>
    <message>
        <source>Select configuration file</source>
        <translation>Выберите файл конфигурации</translation>
    </message>
    <message>
        <source>Config files(*.conf)</source>
        <translation>Файлы конфигурации (*.conf)</translation>
    </message>
    <message>
        <source>Simulation files(*.sim)</source>
        <translation>Файлы симуляции (*.sim)</translation>
    </message>
    <message>
        <source>Failed to open file: %1
File not found</source>
        <translation>Не удалось открыть файл: %1
Файл не найден</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Failed to open file: %1
Unknown file format</source>
        <translation>Не удалось открыть файл: %1
Неизвестный формат файла</translation>
    </message>
    <message>
        <source>If you are unable to establish a connection with the device, follow these steps:</source>
        <translation>Если не удаётся установить связь с устройством, выполните следующие шаги:</translation>
    </message>
    <message>
        <source>1. Make sure the USB cable is working and, if present, test the connection with a different cable.</source>
        <translation>1. Убедитесь, что USB-кабель исправен, и, если есть возможность, проверьте подключение другим кабелем.</translation>
    </message>
    <message>
        <source>2. Make sure you have the latest version of the Zentar Configurator software installed. It can be downloaded from the support page:</source>
        <translation>2. Убедитесь, что установлена последняя версия программы «Конфигуратор Zentar». Её можно скачать на странице поддержки:</translation>
    </message>
    <message>
        <source>Click here</source>
        <translation>Нажмите здесь</translation>
    </message>
    <message>
        <source>3. Reinstall the device driver from the support page:</source>
        <translation>3. Переустановите драйвер устройства со страницы поддержки:</translation>
    </message>
    <message>
        <source>Download for HUBRO32</source>
        <translation>Скачать для HUBRO32</translation>
    </message>
    <message>
        <source>Download for HUBRO125</source>
        <translation>Скачать для HUBRO125</translation>
    </message>
    <message>
        <source>Searching for devices...</source>
        <translation>Поиск устройств...</translation>
    </message>
    <message>
        <source>No device found</source>
        <translation>Устройства не найдены</translation>
    </message>
    <message>
        <source>Port by path:</source>
        <translation>Порт по пути:</translation>
    </message>
    <message>
        <source>Search this port</source>
        <translation>Искать на этом порту</translation>
    </message>
    <message>
        <source>No master answered on %1</source>
        <translation>На %1 ни один мастер не ответил</translation>
    </message>
    <message>
        <source>The port %1 does not exist.</source>
        <translation>Порт %1 не существует.</translation>
    </message>
    <message>
        <source>%1 is not a serial port.</source>
        <translation>%1 не является последовательным портом.</translation>
    </message>
</context>
<context>
    <name>OutputControlDialog</name>
    <message>
        <source>Output Control</source>
        <translation>Управление выходом</translation>
    </message>
    <message>
        <source>Output:</source>
        <translation>Выход:</translation>
    </message>
    <message>
        <source>Output 1</source>
        <translation>Выход 1</translation>
    </message>
    <message>
        <source>Output 2</source>
        <translation>Выход 2</translation>
    </message>
    <message>
        <source>Mask:</source>
        <translation>Маска:</translation>
    </message>
    <message>
        <source>Step:</source>
        <translation>Шаг:</translation>
    </message>
    <message>
        <source>125 ms</source>
        <translation>125 мс</translation>
    </message>
    <message>
        <source>1 s</source>
        <translation>1 с</translation>
    </message>
    <message>
        <source>8 s</source>
        <translation>8 с</translation>
    </message>
    <message>
        <source>32 s</source>
        <translation>32 с</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Время:</translation>
    </message>
    <message>
        <source>End state</source>
        <translation>Конечное состояние</translation>
    </message>
    <message>
        <source>Endless</source>
        <translation>Бесконечно</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>PasswordDialog</name>
    <message>
        <source>Password required</source>
        <translation>Требуется пароль</translation>
    </message>
    <message>
        <source>You need to enter password to connect to this device</source>
        <translation>Для подключения к этому устройству нужно ввести пароль</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>Warning: Caps Lock is on</source>
        <translation>Внимание: включён Caps Lock</translation>
    </message>
</context>
<context>
    <name>PlotPanel</name>
    <message>
        <source>Graph list</source>
        <translation>Список графиков</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Выбрать все</translation>
    </message>
    <message>
        <source>Edit graph</source>
        <translation>Изменить график</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Старт</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Clear tracers</source>
        <translation>Убрать метки</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>You can set two markers.
Double-clicking with the left mouse button sets a red marker. Double-clicking with the right mouse button sets a blue marker. If both markers are set, the difference between these markers is displayed on the axes, if it can be calculated.</source>
        <translation>Можно поставить две метки.
Двойной щелчок левой кнопкой мыши ставит красную метку. Двойной щелчок правой кнопкой мыши ставит синюю метку. Если поставлены обе метки, разница между ними показывается на осях, если её можно вычислить.</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>Save as CSV file</source>
        <translation>Сохранить как файл CSV</translation>
    </message>
    <message>
        <source>Excel file (*.csv)</source>
        <translation>Файл Excel (*.csv)</translation>
    </message>
    <message>
        <source>Failed to save selected file</source>
        <translation>Не удалось сохранить выбранный файл</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
</context>
<context>
    <name>ProductCode</name>
    <message>
        <source>Reading the product code</source>
        <translation>Чтение кода продукта</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Class</source>
        <translation>Класс</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Execution</source>
        <translation>Исполнение</translation>
    </message>
    <message>
        <source>Litera</source>
        <translation>Литера</translation>
    </message>
    <message>
        <source>The product code is not set</source>
        <translation>Код продукта не задан</translation>
    </message>
</context>
<context>
    <name>ProgressWidget</name>
    <message>
        <source>Please wait</source>
        <translation>Пожалуйста, подождите</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Are you sure you want to close the waiting window?</source>
        <translation>Вы уверены, что хотите закрыть окно ожидания?</translation>
    </message>
    <message>
        <source>Waiting window</source>
        <translation>Окно ожидания</translation>
    </message>
</context>
<context>
    <name>ProxySetup</name>
    <message>
        <source>Dialog</source>
        <translation>Диалог</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Включить</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Тип:</translation>
    </message>
    <message>
        <source>Host name:</source>
        <translation>Имя хоста:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Порт:</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Пользователь:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Пароль:</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>По умолчанию</translation>
    </message>
    <message>
        <source>Defaultp proxy</source>
        <translation>Прокси по умолчанию</translation>
    </message>
    <message>
        <source>Socks5 proxy</source>
        <translation>Прокси SOCKS5</translation>
    </message>
    <message>
        <source>No proxy</source>
        <translation>Без прокси</translation>
    </message>
    <message>
        <source>Http proxy</source>
        <translation>Прокси HTTP</translation>
    </message>
    <message>
        <source>Http caching proxy</source>
        <translation>Кэширующий прокси HTTP</translation>
    </message>
    <message>
        <source>FtpCaching proxy</source>
        <translation>Кэширующий прокси FTP</translation>
    </message>
    <message>
        <source>Proxy </source>
        <translation>Прокси </translation>
    </message>
    <message>
        <source>ON</source>
        <translation>ВКЛ</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>ВЫКЛ</translation>
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
    <message>
        <source>Serial</source>
        <translation>Последовательный порт</translation>
    </message>
    <message>
        <source>Kastrel</source>
        <translation>Kastrel</translation>
    </message>
    <message>
        <source>Bluetooth</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>Симуляция</translation>
    </message>
</context>
<context>
    <name>QPenEditor</name>
    <message>
        <source>Graph editor</source>
        <translation>Редактор графика</translation>
    </message>
    <message>
        <source>Select color</source>
        <translation>Выбрать цвет</translation>
    </message>
    <message>
        <source>No pen</source>
        <translation>Без линии</translation>
    </message>
    <message>
        <source>Solid</source>
        <translation>Сплошная</translation>
    </message>
    <message>
        <source>Dash</source>
        <translation>Штриховая</translation>
    </message>
    <message>
        <source>Dot</source>
        <translation>Пунктирная</translation>
    </message>
    <message>
        <source>Dash dot</source>
        <translation>Штрихпунктирная</translation>
    </message>
    <message>
        <source>Dash dot dot</source>
        <translation>Штрих-две точки</translation>
    </message>
    <message>
        <source>Square</source>
        <translation>Квадратный</translation>
    </message>
    <message>
        <source>Flat</source>
        <translation>Плоский</translation>
    </message>
    <message>
        <source>Round</source>
        <translation>Круглый</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Commit</source>
        <translation>Применить</translation>
    </message>
    <message>
        <source>Color:</source>
        <translation>Цвет:</translation>
    </message>
    <message>
        <source>Style:</source>
        <translation>Стиль:</translation>
    </message>
    <message>
        <source>Width:</source>
        <translation>Толщина:</translation>
    </message>
    <message>
        <source>Cap style:</source>
        <translation>Концы линии:</translation>
    </message>
</context>
<context>
    <name>QtBoolPropertyManager</name>
    <message>
        <source>True</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>False</source>
        <translation>Нет</translation>
    </message>
</context>
<context>
    <name>QtTreePropertyBrowser</name>
    <message>
        <source>Property</source>
        <translation>Свойство</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
</context>
<context>
    <name>RSSITestDock</name>
    <message>
        <source>Link quality test</source>
        <translation>Тест качества связи</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
</context>
<context>
    <name>SQLiteDialog</name>
    <message>
        <source>Select parameters</source>
        <translation>Выбор параметров</translation>
    </message>
    <message>
        <source>Select device type</source>
        <translation>Выберите тип устройства</translation>
    </message>
    <message>
        <source>Select device</source>
        <translation>Выберите устройство</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Выбрать все</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>No answer from the database. The remaining graphs were not added.</source>
        <translation>Нет ответа от базы данных. Остальные графики не добавлены.</translation>
    </message>
    <message>
        <source>Parameter selection</source>
        <translation>Выбор параметров</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Not recommended add more than 30 parameters</source>
        <translation>Не рекомендуется добавлять более 30 параметров</translation>
    </message>
    <message>
        <source>Are you sure to remove selected items?</source>
        <translation>Удалить выбранные элементы?</translation>
    </message>
    <message>
        <source>Remove items</source>
        <translation>Удаление элементов</translation>
    </message>
</context>
<context>
    <name>SQLiteView</name>
    <message>
        <source>Show measurements</source>
        <translation>Показать измерения</translation>
    </message>
    <message>
        <source>Temporary</source>
        <translation>Временная</translation>
    </message>
    <message>
        <source>Selected parameters</source>
        <translation>Выбранные параметры</translation>
    </message>
    <message>
        <source>Hide</source>
        <translation>Скрыть</translation>
    </message>
    <message>
        <source>Select graph color</source>
        <translation>Выбор цвета графика</translation>
    </message>
    <message>
        <source>This color is prohibited</source>
        <translation>Этот цвет запрещён</translation>
    </message>
    <message>
        <source>Select color</source>
        <translation>Выбрать цвет</translation>
    </message>
    <message>
        <source>Measurements</source>
        <translation>Измерения</translation>
    </message>
    <message>
        <source>Session</source>
        <translation>Сеанс</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Reset database</source>
        <translation>Сбросить базу</translation>
    </message>
    <message>
        <source>Database polling</source>
        <translation>Опрос базы данных</translation>
    </message>
    <message>
        <source>ready</source>
        <translation>готово</translation>
    </message>
    <message>
        <source>Graphs</source>
        <translation>Графики</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Full</source>
        <translation>Весь график</translation>
    </message>
    <message>
        <source>Clear tags</source>
        <translation>Убрать метки</translation>
    </message>
    <message>
        <source>Clear graphs</source>
        <translation>Убрать графики</translation>
    </message>
    <message>
        <source>Edit graph</source>
        <translation>Изменить график</translation>
    </message>
    <message>
        <source>Thickness</source>
        <translation>Толщина</translation>
    </message>
    <message>
        <source>Line style</source>
        <translation>Стиль линии</translation>
    </message>
    <message>
        <source>Line color</source>
        <translation>Цвет линии</translation>
    </message>
    <message>
        <source>Y axis</source>
        <translation>Ось Y</translation>
    </message>
    <message>
        <source>Y axis right</source>
        <translation>Правая ось Y</translation>
    </message>
    <message>
        <source>Updated </source>
        <translation>Обновлено </translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>Ожидание</translation>
    </message>
    <message>
        <source>Polling stopped</source>
        <translation>Опрос остановлен</translation>
    </message>
    <message>
        <source>Where is no collected measurements</source>
        <translation>Нет собранных измерений</translation>
    </message>
    <message>
        <source>Save measurements</source>
        <translation>Сохранение измерений</translation>
    </message>
    <message>
        <source>Where is no directory %1</source>
        <translation>Нет папки %1</translation>
    </message>
    <message>
        <source>Open measurements</source>
        <translation>Открытие измерений</translation>
    </message>
    <message>
        <source>SQLite files (*.sqlite *.sqlite3);;All files (*)</source>
        <translation>Файлы SQLite (*.sqlite *.sqlite3);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>The file %1 can&apos;t be read: %2</source>
        <translation>Файл %1 не удаётся прочитать: %2</translation>
    </message>
    <message>
        <source>%1 database will be cleared and saving of readings will be stopped. Do you want to continue?</source>
        <translation>База данных %1 будет очищена, и сохранение показаний будет остановлено. Продолжить?</translation>
    </message>
    <message>
        <source>Reset measurements</source>
        <translation>Сброс измерений</translation>
    </message>
</context>
<context>
    <name>SendCustomDataDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Диалог</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Enter the data in hex without prefix, with or without separators.&lt;/p&gt;&lt;p&gt;Examples:&lt;/p&gt;&lt;p&gt;Turn zone 1 on: &lt;b&gt;00 01 01 01&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Reboot the device: &lt;b&gt;00 02&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Send the data 12 34 to zone 2: &lt;b&gt;00 05 02 02 12 34&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;https://zorvo.invalid/zentar/commands&quot;&gt;Full list of device commands&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Введите данные в шестнадцатеричном виде без префикса, с разделителями или без них.&lt;/p&gt;&lt;p&gt;Примеры:&lt;/p&gt;&lt;p&gt;Включить зону 1: &lt;b&gt;00 01 01 01&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Перезагрузить устройство: &lt;b&gt;00 02&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Отправить данные 12 34 в зону 2: &lt;b&gt;00 05 02 02 12 34&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;https://zorvo.invalid/zentar/commands&quot;&gt;Полный список команд устройств&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
</context>
<context>
    <name>SerialDeviceDiscoveryAgent</name>
    <message>
        <source>[Serial] Probing port </source>
        <translation>[Serial] Опрос порта </translation>
    </message>
    <message>
        <source>[Serial] Response: </source>
        <translation>[Serial] Ответ: </translation>
    </message>
</context>
<context>
    <name>SetPreferredRSDialog</name>
    <message>
        <source>Set preferred retranslater</source>
        <translation>Выбор предпочтительного ретранслятора</translation>
    </message>
    <message>
        <source>Select RS:</source>
        <translation>Выберите ретранслятор:</translation>
    </message>
</context>
<context>
    <name>SettingsResetProcess</name>
    <message>
        <source>Warning! Device configuration about to be erased!

Confirm by pressing case button.</source>
        <translation>Внимание! Конфигурация устройства будет стёрта!

Подтвердите нажатием кнопки на корпусе.</translation>
    </message>
    <message>
        <source>Exit configuration reset after %1 s</source>
        <translation>Выход из сброса конфигурации через %1 с</translation>
    </message>
    <message>
        <source>Configuration reseted successfully</source>
        <translation>Конфигурация успешно сброшена</translation>
    </message>
    <message>
        <source>Success</source>
        <translation>Успех</translation>
    </message>
    <message>
        <source>Configuration reset confirmation timed out</source>
        <translation>Истекло время подтверждения сброса конфигурации</translation>
    </message>
    <message>
        <source>Failure</source>
        <translation>Неисправность</translation>
    </message>
    <message>
        <source>Settings reset process aborted</source>
        <translation>Сброс настроек прерван</translation>
    </message>
</context>
<context>
    <name>SignTest</name>
    <message>
        <source>Error occured: %1.
Retrying...</source>
        <translation>Произошла ошибка: %1.
Повторная попытка...</translation>
    </message>
    <message>
        <source>Failed to change state</source>
        <translation>Не удалось изменить состояние</translation>
    </message>
    <message>
        <source>Start sign test</source>
        <translation>Начать тест табло</translation>
    </message>
    <message>
        <source>End sign test</source>
        <translation>Завершить тест табло</translation>
    </message>
</context>
<context>
    <name>SimulatedConnection</name>
    <message>
        <source>Wrong connection type for a simulation file</source>
        <translation>Неверный тип соединения для файла симуляции</translation>
    </message>
    <message>
        <source>Reconnection to %1</source>
        <translation>Повторное подключение к %1</translation>
    </message>
</context>
<context>
    <name>SimulationFile</name>
    <message>
        <source>The simulation file %1 does not exist</source>
        <translation>Файл симуляции %1 не существует</translation>
    </message>
    <message>
        <source>%1 is not a simulation file: it is not a regular file</source>
        <translation>%1 не является файлом симуляции: это не обычный файл</translation>
    </message>
    <message>
        <source>The simulation file %1 is too large: more than %2 bytes</source>
        <translation>Файл симуляции %1 слишком большой: более %2 байт</translation>
    </message>
    <message>
        <source>The simulation file %1 cannot be read: %2</source>
        <translation>Не удалось прочитать файл симуляции %1: %2</translation>
    </message>
    <message>
        <source>The simulation file %1 is empty</source>
        <translation>Файл симуляции %1 пуст</translation>
    </message>
    <message>
        <source>The simulation file %1 is not valid JSON: %2 at offset %3</source>
        <translation>Файл симуляции %1 содержит некорректный JSON: %2 (смещение %3)</translation>
    </message>
    <message>
        <source>The simulation file %1 does not hold a JSON object</source>
        <translation>Файл симуляции %1 не содержит объект JSON</translation>
    </message>
    <message>
        <source>The simulation file %1 describes nothing: its object is empty</source>
        <translation>Файл симуляции %1 ничего не описывает: его объект пуст</translation>
    </message>
    <message>
        <source>%1 device entries, more than the %2 addresses of the master</source>
        <translation>%1 записей устройств, больше, чем %2 адресов мастера</translation>
    </message>
    <message>
        <source>device entry %1: &quot;%2&quot; %3 cannot be read</source>
        <translation>запись устройства %1: «%2» %3 не читается</translation>
    </message>
    <message>
        <source>The simulation file %1 cannot be used: %2</source>
        <translation>Файл симуляции %1 нельзя использовать: %2</translation>
    </message>
</context>
<context>
    <name>SqliteHandler</name>
    <message>
        <source>Backup table (%1.%2, %3 rows) to %4 successfully done</source>
        <translation>Копирование таблицы (%1.%2, строк: %3) в %4 выполнено</translation>
    </message>
</context>
<context>
    <name>StatisticsDock</name>
    <message>
        <source>Radio statistics</source>
        <translation>Радиостатистика</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Стоп</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Statistics reading in process</source>
        <translation>Идёт чтение статистики</translation>
    </message>
    <message>
        <source>Statistics reading finished</source>
        <translation>Чтение статистики завершено</translation>
    </message>
    <message>
        <source>Statistics reading was stopped</source>
        <translation>Чтение статистики остановлено</translation>
    </message>
</context>
<context>
    <name>StatisticsResultWidget</name>
    <message>
        <source>Frame</source>
        <translation>Рамка</translation>
    </message>
    <message>
        <source>Reboot count:</source>
        <translation>Число перезагрузок:</translation>
    </message>
    <message>
        <source>Hardware:</source>
        <translation>Аппаратных:</translation>
    </message>
    <message>
        <source>Software:</source>
        <translation>Программных:</translation>
    </message>
    <message>
        <source>Link restored</source>
        <translation>Связь восстановлена</translation>
    </message>
    <message>
        <source>Link lost:</source>
        <translation>Связь потеряна:</translation>
    </message>
    <message>
        <source>Total packets sent:</source>
        <translation>Всего отправлено пакетов:</translation>
    </message>
    <message>
        <source>Repeats, %:</source>
        <translation>Повторы, %:</translation>
    </message>
</context>
<context>
    <name>SupplyTexts</name>
    <message>
        <source>No battery</source>
        <translation>Нет батареи</translation>
    </message>
    <message>
        <source>Low voltage</source>
        <comment>Battery</comment>
        <translation>Низкое напряжение</translation>
    </message>
    <message>
        <source>Low voltage</source>
        <translation>Низкое напряжение</translation>
    </message>
    <message>
        <source>Low voltage (charging)</source>
        <translation>Низкое напряжение (заряжается)</translation>
    </message>
    <message>
        <source>Ok</source>
        <comment>Battery</comment>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Ok</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Ok (charging)</source>
        <translation>ОК (заряжается)</translation>
    </message>
    <message>
        <source>Need replacement</source>
        <translation>Требуется замена</translation>
    </message>
</context>
<context>
    <name>Tether</name>
    <message>
        <source>Bluetooth controller creation failed</source>
        <translation>Не удалось создать контроллер Bluetooth</translation>
    </message>
    <message>
        <source>Connection already closed</source>
        <translation>Соединение уже закрыто</translation>
    </message>
</context>
<context>
    <name>TetherInterface</name>
    <message>
        <source>Can&apos;t make BLE connection</source>
        <translation>Не удалось установить BLE-соединение</translation>
    </message>
    <message>
        <source>Unable to connect to BLE device.</source>
        <translation>Не удалось подключиться к BLE-устройству.</translation>
    </message>
    <message>
        <source>Connection lost</source>
        <translation>Связь потеряна</translation>
    </message>
</context>
<context>
    <name>ToggleZoneStateDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Диалог</translation>
    </message>
    <message>
        <source>Zone</source>
        <translation>Зона</translation>
    </message>
    <message>
        <source>Zone 0 (LED)</source>
        <translation>Зона 0 (светодиод)</translation>
    </message>
    <message>
        <source>Zone 1</source>
        <translation>Зона 1</translation>
    </message>
    <message>
        <source>Zone 2</source>
        <translation>Зона 2</translation>
    </message>
    <message>
        <source>Zone 3</source>
        <translation>Зона 3</translation>
    </message>
    <message>
        <source>Zone 4</source>
        <translation>Зона 4</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Выключить</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Включить</translation>
    </message>
</context>
<context>
    <name>UpdateManager</name>
    <message>
        <source>Update stopped</source>
        <translation>Обновление остановлено</translation>
    </message>
    <message>
        <source>Update manager is busy!</source>
        <translation>Менеджер обновления занят!</translation>
    </message>
    <message>
        <source>NILVO %1 with 60 min interval moved to end</source>
        <translation>NILVO %1 с интервалом 60 мин перемещён в конец</translation>
    </message>
    <message>
        <source>Connection was lost and restored while updating device!</source>
        <translation>Связь была потеряна и восстановлена во время обновления устройства!</translation>
    </message>
    <message>
        <source>Timeout updating device!</source>
        <translation>Тайм-аут обновления устройства!</translation>
    </message>
    <message>
        <source>Something went wrong</source>
        <translation>Что-то пошло не так</translation>
    </message>
    <message>
        <source>Failed to update device!</source>
        <translation>Не удалось обновить устройство!</translation>
    </message>
</context>
<context>
    <name>UpdateStatusDock</name>
    <message>
        <source>Firmware update</source>
        <translation>Обновление ПО</translation>
    </message>
    <message>
        <source>Attention! Before updating, you need to make sure that the new versions of HUBRO and sensor software are compatible!</source>
        <translation>Внимание! Перед обновлением убедитесь, что новые версии ПО HUBRO и датчиков совместимы!</translation>
    </message>
    <message>
        <source>Check updates</source>
        <translation>Проверка обновлений</translation>
    </message>
    <message>
        <source>Firmware uploading</source>
        <translation>Загрузка ПО</translation>
    </message>
    <message>
        <source>Upload firmware</source>
        <translation>Загрузить ПО</translation>
    </message>
    <message>
        <source>Currently uploaded WD firmware:</source>
        <translation>Загруженное ПО для устройств:</translation>
    </message>
    <message>
        <source>No information</source>
        <translation>Нет информации</translation>
    </message>
    <message>
        <source>Device updating</source>
        <translation>Обновление устройства</translation>
    </message>
    <message>
        <source>Collapse all</source>
        <translation>Свернуть все</translation>
    </message>
    <message>
        <source>Stop update</source>
        <translation>Остановить обновление</translation>
    </message>
    <message>
        <source>hw </source>
        <translation>апп. </translation>
    </message>
    <message>
        <source>fw </source>
        <translation>ПО </translation>
    </message>
    <message>
        <source>Written location not found</source>
        <translation>Не найдено место для записи</translation>
    </message>
    <message>
        <source>Save configuration</source>
        <translation>Сохранение конфигурации</translation>
    </message>
    <message>
        <source>Exporting configuration.
Please wait...</source>
        <translation>Экспорт конфигурации.
Пожалуйста, подождите...</translation>
    </message>
    <message>
        <source>Configuration backup failed.</source>
        <translation>Не удалось сохранить резервную копию конфигурации.</translation>
    </message>
    <message>
        <source>Upload the firmware without a backup?</source>
        <translation>Загрузить ПО без резервной копии?</translation>
    </message>
    <message>
        <source>Upload firmware %1 to device</source>
        <translation>Загрузка ПО %1 в устройство</translation>
    </message>
    <message>
        <source>Busy erasing flash memory</source>
        <translation>Идёт стирание флеш-памяти</translation>
    </message>
    <message>
        <source>Busy checking flash memory</source>
        <translation>Идёт проверка флеш-памяти</translation>
    </message>
    <message>
        <source>Checking uploaded firmware</source>
        <translation>Проверка загруженного ПО</translation>
    </message>
    <message>
        <source>Upload finished</source>
        <translation>Загрузка завершена</translation>
    </message>
    <message>
        <source>Upload stopped</source>
        <translation>Загрузка остановлена</translation>
    </message>
    <message>
        <source>Offline update mode is on</source>
        <translation>Автономный режим обновления включён</translation>
    </message>
    <message>
        <source>Failed to erase flash memory</source>
        <translation>Не удалось стереть флеш-память</translation>
    </message>
    <message>
        <source>Memory check failed</source>
        <translation>Проверка памяти не пройдена</translation>
    </message>
    <message>
        <source>Failed to write firmware to flash memory</source>
        <translation>Не удалось записать ПО во флеш-память</translation>
    </message>
    <message>
        <source>Firmware check failed</source>
        <translation>Проверка ПО не пройдена</translation>
    </message>
    <message>
        <source>General failure</source>
        <translation>Общая неисправность</translation>
    </message>
    <message>
        <source>Uploaded firmware is corrupt</source>
        <translation>Загруженное ПО повреждено</translation>
    </message>
    <message>
        <source>Warning! Uploaded firmware is corrupt, uploading stopped.
Do you want to proceed?</source>
        <translation>Внимание! Загруженное ПО повреждено, загрузка остановлена.
Продолжить?</translation>
    </message>
    <message>
        <source>Upload error</source>
        <translation>Ошибка загрузки</translation>
    </message>
    <message>
        <source>Device needs to be restarted in order to install new firmware.</source>
        <translation>Для установки нового ПО устройство нужно перезапустить.</translation>
    </message>
    <message>
        <source>New core and radio firmwares uploaded</source>
        <translation>Новое ПО ядра и радио загружено</translation>
    </message>
    <message>
        <source>New radio firmware uploaded</source>
        <translation>Новое ПО радио загружено</translation>
    </message>
    <message>
        <source>Restart now?</source>
        <translation>Перезапустить сейчас?</translation>
    </message>
    <message>
        <source>Restart now? Click &quot;No&quot; if you also want to upload new core firmware.</source>
        <translation>Перезапустить сейчас? Нажмите «Нет», если хотите загрузить ещё и новое ПО ядра.</translation>
    </message>
    <message>
        <source>New core firmware uploaded</source>
        <translation>Новое ПО ядра загружено</translation>
    </message>
    <message>
        <source>Restart now? Click &quot;No&quot; if you also want to upload new radio firmware.</source>
        <translation>Перезапустить сейчас? Нажмите «Нет», если хотите загрузить ещё и новое ПО радио.</translation>
    </message>
    <message>
        <source>Basic kernel software uploaded</source>
        <translation>Базовое ПО ядра загружено</translation>
    </message>
    <message>
        <source>Basic kernel software is ready to install.</source>
        <translation>Базовое ПО ядра готово к установке.</translation>
    </message>
    <message>
        <source>Warning! Low battery of the device with the address %1
This can impact on the update process. In some cases it can be impossible to update device with low battery. Do you want to proceed?</source>
        <translation>Внимание! Низкий заряд батареи устройства с адресом %1
Это может повлиять на обновление. В некоторых случаях обновить устройство с разряженной батареей невозможно. Продолжить?</translation>
    </message>
    <message>
        <source>Battry is low</source>
        <translation>Батарея разряжена</translation>
    </message>
    <message>
        <source>There is no selected firmwares.</source>
        <translation>Не выбрано ни одного ПО.</translation>
    </message>
    <message>
        <source>Firmware upload</source>
        <translation>Загрузка ПО</translation>
    </message>
    <message>
        <source>Not updated NILVO(s):
%1</source>
        <translation>Не обновлены NILVO:
%1</translation>
    </message>
    <message>
        <source>Updating stop</source>
        <translation>Остановка обновления</translation>
    </message>
    <message>
        <source>Update stopped.</source>
        <translation>Обновление остановлено.</translation>
    </message>
    <message>
        <source>the upload was interrupted</source>
        <translation>загрузка прервана</translation>
    </message>
    <message>
        <source>Upload failed: %1; the master may hold an incomplete image: reconnect and upload again</source>
        <translation>Загрузка не удалась: %1; в мастере может остаться неполный образ: переподключитесь и загрузите снова</translation>
    </message>
    <message>
        <source>The batch ended: the upload was cut.</source>
        <translation>Пакетное обновление завершено: загрузка прервана.</translation>
    </message>
    <message>
        <source>The firmware %1 is being uploaded to the master.</source>
        <translation>Прошивка %1 загружается в мастер.</translation>
    </message>
    <message>
        <source>A firmware is being uploaded to the master.</source>
        <translation>В мастер загружается прошивка.</translation>
    </message>
    <message>
        <source>Devices are being updated with the firmware %1.</source>
        <translation>Устройства обновляются прошивкой %1.</translation>
    </message>
    <message>
        <source>A batch update is running: the firmware %1 is next.</source>
        <translation>Идёт пакетное обновление: следующая прошивка %1.</translation>
    </message>
    <message>
        <source>A batch update is running: the master&apos;s firmware %1 is next.</source>
        <translation>Идёт пакетное обновление: следующая прошивка мастера %1.</translation>
    </message>
    <message>
        <source>Wait until it ends, or stop it, before starting another upload or update.</source>
        <translation>Дождитесь его окончания или остановите его, прежде чем начинать другую загрузку или обновление.</translation>
    </message>
    <message>
        <source>Firmware update is running</source>
        <translation>Идёт обновление прошивки</translation>
    </message>
    <message>
        <source>Updated: none</source>
        <translation>Обновлены: нет</translation>
    </message>
    <message>
        <source>Updated: %1</source>
        <translation>Обновлены: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Не удалось: %1</translation>
    </message>
    <message>
        <source>Not updated: %1</source>
        <translation>Не обновлены: %1</translation>
    </message>
    <message>
        <source>The batch ended: the master went away.</source>
        <translation>Пакетное обновление завершено: мастер отключился.</translation>
    </message>
    <message>
        <source>Radio devices done; the master&apos;s firmware is uploaded next.</source>
        <translation>Радиоустройства обработаны; далее загружается прошивка мастера.</translation>
    </message>
    <message>
        <source>Upload failed: %1; the master may hold an incomplete image: upload again</source>
        <translation>Загрузка не удалась: %1; в мастере может остаться неполный образ: загрузите снова</translation>
    </message>
    <message>
        <source>The batch ended: %1.</source>
        <translation>Пакетное обновление завершено: %1.</translation>
    </message>
    <message>
        <source>The master did not confirm the uploaded image %1: no device was updated with it.</source>
        <translation>Мастер не подтвердил загруженный образ %1: ни одно устройство им не обновлено.</translation>
    </message>
    <message>
        <source>Device update</source>
        <translation>Обновление устройства</translation>
    </message>
    <message>
        <source>Update finished.</source>
        <translation>Обновление завершено.</translation>
    </message>
</context>
<context>
    <name>UpdateStatusWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>ПО</translation>
    </message>
    <message>
        <source>hw </source>
        <translation>апп. </translation>
    </message>
    <message>
        <source>fw </source>
        <translation>ПО </translation>
    </message>
    <message>
        <source>No information</source>
        <translation>Нет информации</translation>
    </message>
</context>
<context>
    <name>VORL</name>
    <message>
        <source>Header is too short</source>
        <translation>Заголовок слишком короткий</translation>
    </message>
    <message>
        <source>Header crc is broken</source>
        <translation>Контрольная сумма заголовка нарушена</translation>
    </message>
    <message>
        <source>Data record in line %1 is too short</source>
        <translation>Запись данных в строке %1 слишком короткая</translation>
    </message>
    <message>
        <source>CRC Check error for firmware: %1</source>
        <translation>Ошибка проверки контрольной суммы прошивки: %1</translation>
    </message>
    <message>
        <source>Empty firmware in combined file</source>
        <translation>Пустая прошивка в составном файле</translation>
    </message>
    <message>
        <source>Cannot open file</source>
        <translation>Не удаётся открыть файл</translation>
    </message>
    <message>
        <source>file does not exists</source>
        <translation>файл не существует</translation>
    </message>
</context>
<context>
    <name>WaitGenerating</name>
    <message>
        <source>Report generation</source>
        <translation>Формирование отчёта</translation>
    </message>
    <message>
        <source>Data collection in progress...</source>
        <translation>Идёт сбор данных...</translation>
    </message>
    <message>
        <source>Please wait (5 minutes)</source>
        <translation>Пожалуйста, подождите (5 минут)</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>Прервать</translation>
    </message>
</context>
<context>
    <name>WaitMovie</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
</context>
<context>
    <name>WaitWidget</name>
    <message>
        <source>Wait widget</source>
        <translation>Окно ожидания</translation>
    </message>
    <message>
        <source>The device is being updated.
Please wait and do not turn off the power.</source>
        <translation>Идёт обновление устройства.
Пожалуйста, подождите и не отключайте питание.</translation>
    </message>
</context>
<context>
    <name>WidgetDeviceWriteSettings</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Write settings</source>
        <translation>Записать настройки</translation>
    </message>
    <message>
        <source>Press to write settings</source>
        <translation>Нажмите, чтобы записать настройки</translation>
    </message>
    <message>
        <source>&lt;div style=&quot;text-align: center; color:green; font-size: x-large; margin-left:20px&quot;&gt;Please wait...&lt;/div&gt;</source>
        <translation>&lt;div style=&quot;text-align: center; color:green; font-size: x-large; margin-left:20px&quot;&gt;Пожалуйста, подождите...&lt;/div&gt;</translation>
    </message>
    <message>
        <source>&lt;div style=&quot;text-align: center; color:red; font-size: x-large; margin-left:20px&quot;&gt;Timeout, please try again...&lt;/div&gt;</source>
        <translation>&lt;div style=&quot;text-align: center; color:red; font-size: x-large; margin-left:20px&quot;&gt;Время ожидания истекло, попробуйте ещё раз...&lt;/div&gt;</translation>
    </message>
    <message>
        <source>&lt;br&gt;&lt;div style=&quot;text-align: center; font-size:x-large; color: blue; margin-left:20px&quot;&gt;Settings saved!&lt;/div&gt;</source>
        <translation>&lt;br&gt;&lt;div style=&quot;text-align: center; font-size:x-large; color: blue; margin-left:20px&quot;&gt;Настройки сохранены!&lt;/div&gt;</translation>
    </message>
    <message>
        <source>Writing settings...</source>
        <translation>Запись настроек...</translation>
    </message>
</context>
<context>
    <name>WidgetRSSIResult</name>
    <message>
        <source>In queue</source>
        <translation>В очереди</translation>
    </message>
    <message>
        <source>Test started</source>
        <translation>Тест начат</translation>
    </message>
    <message>
        <source>Test failed</source>
        <translation>Тест не пройден</translation>
    </message>
    <message>
        <source>%1 of %2 (max: %3 av: %4 min: %5)</source>
        <translation>%1 из %2 (макс.: %3 ср.: %4 мин.: %5)</translation>
    </message>
    <message>
        <source>Radio address: %1.
%2. Packets: %3/%4. Min %5. Avg %6. Max %7</source>
        <translation>Радиоадрес: %1.
%2. Пакеты: %3/%4. Мин. %5. Ср. %6. Макс. %7</translation>
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
