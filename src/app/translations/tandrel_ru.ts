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
        <source>&lt;a href="https://zorvo.invalid"&gt;zorvo.invalid&lt;/a&gt; &amp;nbsp;&amp;nbsp; &lt;a href="mailto:support@zorvo.invalid"&gt;support@zorvo.invalid&lt;/a&gt;</source>
        <translation>&lt;a href="https://zorvo.invalid"&gt;zorvo.invalid&lt;/a&gt; &amp;nbsp;&amp;nbsp; &lt;a href="mailto:support@zorvo.invalid"&gt;support@zorvo.invalid&lt;/a&gt;</translation>
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
    <name>DeviceDiscoveryAgent</name>
    <message>
        <source>Available modules: </source>
        <translation>Доступные модули: </translation>
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
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
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
    <name>SendCustomDataDialog</name>
    <message>
        <source>Dialog</source>
        <translation>Диалог</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Enter the data in hex without prefix, with or without separators.&lt;/p&gt;&lt;p&gt;Examples:&lt;/p&gt;&lt;p&gt;Turn zone 1 on: &lt;b&gt;00 01 01 01&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Reboot the device: &lt;b&gt;00 02&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Send the data 12 34 to zone 2: &lt;b&gt;00 05 02 02 12 34&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;a href="https://zorvo.invalid/zentar/commands"&gt;Full list of device commands&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Введите данные в шестнадцатеричном виде без префикса, с разделителями или без них.&lt;/p&gt;&lt;p&gt;Примеры:&lt;/p&gt;&lt;p&gt;Включить зону 1: &lt;b&gt;00 01 01 01&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Перезагрузить устройство: &lt;b&gt;00 02&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Отправить данные 12 34 в зону 2: &lt;b&gt;00 05 02 02 12 34&lt;/b&gt;&lt;/p&gt;&lt;p&gt;&lt;a href="https://zorvo.invalid/zentar/commands"&gt;Полный список команд устройств&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
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
        <source>&lt;div style="text-align: center; color:green; font-size: x-large; margin-left:20px"&gt;Please wait...&lt;/div&gt;</source>
        <translation>&lt;div style="text-align: center; color:green; font-size: x-large; margin-left:20px"&gt;Пожалуйста, подождите...&lt;/div&gt;</translation>
    </message>
    <message>
        <source>&lt;div style="text-align: center; color:red; font-size: x-large; margin-left:20px"&gt;Timeout, please try again...&lt;/div&gt;</source>
        <translation>&lt;div style="text-align: center; color:red; font-size: x-large; margin-left:20px"&gt;Время ожидания истекло, попробуйте ещё раз...&lt;/div&gt;</translation>
    </message>
    <message>
        <source>&lt;br&gt;&lt;div style="text-align: center; font-size:x-large; color: blue; margin-left:20px"&gt;Settings saved!&lt;/div&gt;</source>
        <translation>&lt;br&gt;&lt;div style="text-align: center; font-size:x-large; color: blue; margin-left:20px"&gt;Настройки сохранены!&lt;/div&gt;</translation>
    </message>
    <message>
        <source>Writing settings...</source>
        <translation>Запись настроек...</translation>
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
